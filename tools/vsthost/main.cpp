// The command-line host: loads a VST 2.4 plug-in through its entry point,
// reports what it offers, and renders audio through it. See --help.

#include "FileBytes.h"
#include "Options.h"
#include "PluginModule.h"
#include "RenderHost.h"
#include "Renderer.h"
#include "Report.h"
#include "TestSignal.h"
#include "VstPlugin.h"
#include "WavFile.h"

#if defined(_WIN32)
#include "editor_win32/EditorHostFrame.h"
#endif

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace vsthost {
namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
// Renders longer than this many seconds of audio report their progress.
constexpr double kProgressAfterSeconds = 10.0;

int Fail(const std::string& message) {
  std::fprintf(stderr, "error: %s\n", message.c_str());
  return kExitFailure;
}

// Applies --load-state, --program and --set in that order.
bool ApplyState(const VstPlugin& plugin, const Options& options, std::string& error) {
  if (!options.loadState.empty()) {
    std::vector<uint8_t> bytes;
    if (!ReadFileBytes(options.loadState, bytes, error)) return false;
    if (!plugin.SetProgramState(bytes)) {
      error = options.loadState + ": the plug-in refused this state";
      return false;
    }
  }
  if (!options.program.empty()) {
    const int program = plugin.FindProgram(options.program);
    if (program < 0) {
      error = "no program '" + options.program + "'";
      return false;
    }
    plugin.Dispatch(effSetProgram, 0, program);
  }
  for (const ParamSetting& setting : options.settings) {
    const int index = plugin.FindParam(setting.param);
    if (index < 0) {
      error = "no parameter '" + setting.param + "'";
      return false;
    }
    if (setting.normalised) {
      plugin.SetParamNormalised(index, std::strtof(setting.value.c_str(), nullptr));
    } else if (!plugin.SetParamText(index, setting.value)) {
      error = "the plug-in refused '" + setting.value + "' for parameter " + setting.param;
      return false;
    }
  }
  return true;
}

bool LoadInput(const Options& options, AudioBuffer& input, std::string& error) {
  if (!options.inputPath.empty()) {
    if (!ReadWavFile(options.inputPath, input, error)) return false;
    if (options.sampleRate != 0 && options.sampleRate != input.sampleRate) {
      std::fprintf(stderr, "note: rendering at %d Hz without resampling the %d Hz input\n",
                   options.sampleRate, input.sampleRate);
      input.sampleRate = options.sampleRate;
    }
    return true;
  }
  const int rate = options.sampleRate != 0 ? options.sampleRate : kDefaultSampleRate;
  const auto frames = static_cast<size_t>(std::llround(options.seconds * rate));
  return MakeTestSignal(options.signal, rate, frames, options.channels, input, error);
}

RenderProgress ProgressPrinter(const Options& options, double seconds) {
  if (options.quiet || seconds <= kProgressAfterSeconds) return nullptr;
  return [lastTenth = -1](size_t done, size_t total) mutable {
    const int tenth = static_cast<int>(done * 10 / total);
    if (tenth == lastTenth) return;
    lastTenth = tenth;
    std::fprintf(stderr, "rendering: %3d%%\n", tenth * 10);
  };
}

// How long the editor runs before its picture is taken: a few frames.
constexpr int kScreenshotWaitMs = 300;

bool SaveScreenshot(const VstPlugin& plugin, const std::string& path, std::string& error) {
#if defined(_WIN32)
  if (quorvane::SaveEditorScreenshot(plugin.Effect(), path.c_str(), kScreenshotWaitMs)) return true;
  error = "could not open the editor or write " + path;
#else
  (void)plugin;
  (void)path;
  error = "--screenshot needs the Windows build";
#endif
  return false;
}

int Run(const Options& options) {
  std::string error;
  AudioBuffer input;
  const bool rendering = !options.inputPath.empty() || !options.signal.empty();
  if (rendering && !LoadInput(options, input, error)) return Fail(error);

  PluginModule module;
  if (!module.Load(options.pluginPath, error)) return Fail(error);
  RenderHost host;
  VstPlugin plugin;
  if (!plugin.Create(module.EntryPoint(), host.Callback(), error)) return Fail(error);
  plugin.Dispatch(effOpen);
  if (!ApplyState(plugin, options, error)) return Fail(error);
  if (options.report && !options.quiet) {
    std::fputs(PluginReport(plugin).c_str(), stdout);
    std::fflush(stdout); // before progress and messages on standard error
  }

  if (rendering) {
    AudioBuffer output;
    const double seconds = static_cast<double>(input.Frames()) / input.sampleRate;
    if (!Render(plugin, host, input, output, options.render, ProgressPrinter(options, seconds),
                error)) {
      return Fail(error);
    }
    if (!options.outputPath.empty() && !WriteWavFile(options.outputPath, output, error))
      return Fail(error);
    if (!options.quiet) {
      std::fprintf(stderr, "rendered %.3f s, %d channel(s) at %d Hz, %lld MIDI event(s) back%s%s\n",
                   seconds, output.ChannelCount(), output.sampleRate,
                   static_cast<long long>(host.MidiEventsReceived()),
                   options.outputPath.empty() ? "" : " -> ", options.outputPath.c_str());
    }
  }
  if (options.editorScale > 0.0) {
    plugin.Dispatch(effVendorSpecific, kVstScaleFactorIndex, kVstScaleFactorValue, nullptr,
                    static_cast<float>(options.editorScale));
  }
  if (!options.screenshotPath.empty()) {
    if (!SaveScreenshot(plugin, options.screenshotPath, error)) return Fail(error);
    if (!options.quiet)
      std::fprintf(stderr, "editor picture -> %s\n", options.screenshotPath.c_str());
  }

  if (!options.saveState.empty()) {
    const std::vector<uint8_t> state = plugin.GetProgramState();
    if (state.empty()) return Fail("the plug-in gave no state to save");
    if (!WriteFileBytes(options.saveState, state, error)) return Fail(error);
  }
  plugin.Close();
  return 0;
}

} // namespace
} // namespace vsthost

int main(int argc, char** argv) {
  const std::string name = argc > 0 ? argv[0] : "vsthost";
  std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  vsthost::Options options;
  std::string error;
  if (!vsthost::ParseOptions(args, options, error)) {
    std::fprintf(stderr, "error: %s\n(see %s --help)\n", error.c_str(), name.c_str());
    return vsthost::kExitUsage;
  }
  if (options.help) {
    std::fputs(vsthost::UsageText(name).c_str(), stdout);
    return 0;
  }
  return vsthost::Run(options);
}
