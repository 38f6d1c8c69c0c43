#include "HostRun.h"

#include "AudioFile.h"
#include "FileSystem.h"
#include "OutputMeter.h"
#include "ParamCatalogue.h"
#include "PluginModule.h"
#include "ProgressLine.h"
#include "RenderHost.h"
#include "Renderer.h"
#include "ReplacingFile.h"
#include "Report.h"
#include "Resampler.h"
#include "Screenshot.h"
#include "StateFile.h"
#include "TestSignal.h"
#include "TextNumbers.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

namespace vsthost {
namespace {

struct Outcome {
  int code = kExitSuccess;
  std::string message;
  bool Failed() const { return code != kExitSuccess; }
};

Outcome Usage(const std::string& message) {
  return {kExitUsage, message};
}

Outcome Failure(const std::string& message) {
  return {kExitFailure, message};
}

void Warn(const std::string& message) {
  std::fprintf(stderr, "warning: %s\n", message.c_str());
}

bool IsStd(const std::string& path) {
  return path == kStdStream;
}

// Where the render of `input` goes ("" when nowhere).
std::string OutputFor(const Options& options, const std::string& input) {
  if (!options.OutputIsFolder()) return options.outputPath;
  std::string folder = options.outputPath;
  if (!EndsWithSeparator(folder)) folder += '/';
  return folder + (IsStd(input) ? std::string("stdin.wav") : BaseName(input));
}

// Every name the run will write, checked before any work: a write onto the
// loaded plug-in would crash the host, onto an input or another output would
// destroy it. Only the deliberate in-place render (output = its input) is
// allowed, since the output replaces its target only once complete.
Outcome CheckWrittenFiles(const Options& options) {
  struct Written {
    std::string path, what, input;
  };
  std::vector<Written> written;
  if (options.OutputIsFolder() && !options.outputPath.empty() && !IsFolder(options.outputPath))
    return Usage(options.outputPath + ": no such folder");
  if (!options.outputPath.empty()) {
    if (!options.signal.empty()) {
      written.push_back({options.outputPath, "--output", ""});
    } else {
      for (const std::string& input : options.inputPaths)
        written.push_back({OutputFor(options, input), "--output", input});
    }
  }
  if (!options.saveState.empty()) written.push_back({options.saveState, "--save-state", ""});
  if (!options.saveBank.empty()) written.push_back({options.saveBank, "--save-bank", ""});
  if (!options.screenshotPath.empty())
    written.push_back({options.screenshotPath, "--screenshot", ""});

  for (size_t i = 0; i < written.size(); ++i) {
    const Written& w = written[i];
    if (IsStd(w.path)) continue;
#if defined(_WIN32)
    if (IsWindowsDeviceName(w.path))
      return Usage(w.what + " " + w.path + ": a Windows device name, not a file");
#endif
    if (EndsWithSeparator(w.path) || IsFolder(w.path))
      return Usage(w.what + " " + w.path + ": a folder, not a file");
    if (SameFile(w.path, options.pluginPath))
      return Usage(w.what + " " + w.path + ": that is the plug-in being loaded");
    for (const std::string& input : options.inputPaths) {
      if (input != w.input && SameFile(w.path, input))
        return Usage(w.what + " " + w.path + ": that is an input file");
    }
    if (w.what == "--output" &&
        (SameFile(w.path, options.loadState) || SameFile(w.path, options.loadBank)))
      return Usage(w.what + " " + w.path + ": that is a state file being loaded");
    for (size_t j = 0; j < i; ++j) {
      if (written[j].path == w.path || SameFile(written[j].path, w.path))
        return Usage(written[j].what + " and " + w.what + " both write " + w.path);
    }
    std::string error;
    if (w.what == "--output" && SoundFileFormat(w.path, options.format, error) == 0)
      return Usage(w.path + ": " + error);
  }
  return {};
}

PluginIdentity IdentityOf(const VstPlugin& plugin) {
  const AEffect* effect = plugin.Effect();
  return {effect->uniqueID, effect->version, effect->numParams, effect->numPrograms};
}

// Loads --load-state. A file that is not a state of this plug-in is refused
// before the plug-in sees a byte of it.
Outcome LoadState(const VstPlugin& plugin, const std::string& path) {
  std::vector<uint8_t> bytes;
  std::string error;
  if (!ReadSmallFile(path, kMaxStateFileBytes, bytes, error)) return Failure(error);
  ProgramState state;
  if (!ParseStateFile(bytes, IdentityOf(plugin), state, error)) {
    // Earlier versions of this host saved the bare chunk: take one only when
    // it has the size and the leading bytes of the chunk the plug-in gives.
    const std::vector<uint8_t> current = plugin.GetProgramState();
    const size_t head = 8;
    if (current.size() <= head || bytes.size() != current.size() ||
        !std::equal(current.begin(), current.begin() + head, bytes.begin())) {
      return Failure(path + ": " + error);
    }
    Warn(path + ": a bare state from an older version of this host; save it again to convert");
    state.chunk = bytes;
  }
  if (!state.values.empty()) {
    for (size_t i = 0; i < state.values.size(); ++i)
      plugin.SetParamNormalised(static_cast<int>(i), state.values[i]);
    return {};
  }
  const std::vector<uint8_t> before = plugin.GetProgramState();
  if (!plugin.SetProgramState(state.chunk)) {
    if (!before.empty()) plugin.SetProgramState(before);
    return Failure(path + ": the plug-in refused this state");
  }
  return {};
}

// Loads --load-bank: every program, checked whole before the first is set.
Outcome LoadBank(const VstPlugin& plugin, const std::string& path) {
  std::vector<uint8_t> bytes;
  std::string error;
  ProgramBank bank;
  if (!ReadSmallFile(path, kMaxStateFileBytes, bytes, error) ||
      !ParseBankFile(bytes, IdentityOf(plugin), bank, error)) {
    return Failure(path + ": " + error);
  }
  if (!bank.chunk.empty()) {
    if (!plugin.SetState(0, bank.chunk)) return Failure(path + ": the plug-in refused this bank");
    return {};
  }
  for (size_t i = 0; i < bank.programs.size(); ++i) {
    plugin.Dispatch(effSetProgram, 0, static_cast<intptr_t>(i));
    std::string name = bank.programs[i].programName;
    plugin.Dispatch(effSetProgramName, 0, 0, &name[0]);
    for (size_t k = 0; k < bank.programs[i].values.size(); ++k)
      plugin.SetParamNormalised(static_cast<int>(k), bank.programs[i].values[k]);
  }
  plugin.Dispatch(effSetProgram, 0, bank.currentProgram);
  return {};
}

// Saves --save-bank from the plug-in's own programs, in the per-parameter
// form; the live values are put back afterwards.
Outcome SaveBank(const VstPlugin& plugin, const std::string& path) {
  const auto current = static_cast<int32_t>(plugin.Dispatch(effGetProgram));
  const std::vector<uint8_t> live = plugin.GetProgramState();
  std::vector<ProgramState> programs(static_cast<size_t>(plugin.ProgramCount()));
  // Names before any selection: selecting a never-used slot may rename it.
  for (size_t i = 0; i < programs.size(); ++i)
    programs[i].programName = plugin.ProgramName(static_cast<int>(i));
  // From the last program down: a never-used slot takes the live values when
  // selected, and so gets those from before the save, not its neighbour's.
  for (int i = plugin.ProgramCount() - 1; i >= 0; --i) {
    plugin.Dispatch(effSetProgram, 0, i);
    for (int k = 0; k < plugin.ParamCount(); ++k)
      programs[static_cast<size_t>(i)].values.push_back(plugin.ParamNormalised(k));
  }
  plugin.Dispatch(effSetProgram, 0, current);
  if (!live.empty()) plugin.SetProgramState(live);
  std::string error;
  if (!WriteFileReplacing(path, EncodeBankFile(IdentityOf(plugin), programs, current), error))
    return Failure(error);
  return {};
}

Outcome SaveState(const VstPlugin& plugin, const std::string& path) {
  std::vector<float> values;
  const std::vector<uint8_t> chunk = plugin.GetProgramState();
  if (chunk.empty()) {
    for (int i = 0; i < plugin.ParamCount(); ++i)
      values.push_back(plugin.ParamNormalised(i));
  }
  const std::string name = plugin.Text(effGetProgramName);
  std::string error;
  if (!WriteFileReplacing(path, EncodeStateFile(IdentityOf(plugin), name, chunk, values), error))
    return Failure(error);
  return {};
}

Outcome ApplySettings(const VstPlugin& plugin, const Options& options,
                      const std::vector<ParamInfo>& params) {
  for (const ParamSetting& setting : options.settings) {
    const int index = plugin.FindParam(setting.param);
    if (index < 0) {
      return Usage("--set " + setting.param + "=" + setting.value + ": no parameter '" +
                   setting.param + "' (give its name or an index 0.." +
                   std::to_string(plugin.ParamCount() - 1) + ")");
    }
    if (setting.normalised) {
      double value = 0.0;
      ParseStrictDouble(setting.value, value);
      plugin.SetParamNormalised(index, static_cast<float>(value));
      continue;
    }
    ParamRequest request{false, 0.0f, setting.value};
    std::string error;
    if (static_cast<size_t>(index) < params.size() &&
        !ResolveParamText(params[static_cast<size_t>(index)], setting.value, request, error)) {
      return Usage("--set " + setting.param + "=" + setting.value + ": " + error);
    }
    if (request.byNormalised) {
      plugin.SetParamNormalised(index, request.normalised);
    } else if (!plugin.SetParamText(index, request.number)) {
      return Failure("the plug-in refused '" + setting.value + "' for parameter " + setting.param);
    }
  }
  return {};
}

// Applies --load-bank, --load-state, --program and --set in that order.
Outcome ApplyState(const VstPlugin& plugin, const Options& options,
                   const std::vector<ParamInfo>& params) {
  if (!options.loadBank.empty()) {
    const Outcome loaded = LoadBank(plugin, options.loadBank);
    if (loaded.Failed()) return loaded;
  }
  if (!options.loadState.empty()) {
    const Outcome loaded = LoadState(plugin, options.loadState);
    if (loaded.Failed()) return loaded;
  }
  if (!options.program.empty()) {
    const int program = plugin.FindProgram(options.program);
    if (program < 0) {
      return Usage("--program " + options.program + ": no such program (give its name or a " +
                   "number 0.." + std::to_string(plugin.ProgramCount() - 1) + ")");
    }
    plugin.Dispatch(effSetProgram, 0, program);
  }
  return ApplySettings(plugin, options, params);
}

// A plug-in whose envelope is assigned ("... Target" set to anything but its
// first choice) and that takes MIDI stays shut without a note.
bool WaitsForNotes(const VstPlugin& plugin) {
  char canDo[] = "receiveVstMidiEvent";
  if (plugin.Dispatch(effCanDo, 0, 0, canDo) <= 0) return false;
  for (int i = 0; i < plugin.ParamCount(); ++i) {
    const std::string name = plugin.ParamName(i);
    const std::string tail = "target";
    if (name.size() >= tail.size() &&
        SameIgnoringCase(name.substr(name.size() - tail.size()), tail) &&
        plugin.ParamNormalised(i) > 0.0f) {
      return true;
    }
  }
  return false;
}

class Session {
public:
  explicit Session(const Options& options) : options_(options) {}

  Outcome Start();
  Outcome PrintReport();
  // Renders one input (or the signal) into its output.
  Outcome RenderInput(const std::string& input, bool freshInstance);
  Outcome Finish();

private:
  Outcome NewInstance();
  Outcome OpenSource(const std::string& input, std::unique_ptr<AudioSource>& source,
                     AudioFileSource*& file);
  void Summarise(const std::string& output, const RenderResult& result, int rate,
                 const OutputMeter& meter, bool integerFile);

  const Options& options_;
  PluginModule module_;
  RenderHost host_;
  std::vector<ParamInfo> params_;
  std::unique_ptr<VstPlugin> plugin_;
};

Outcome Session::Start() {
  std::string error;
  if (!module_.Load(options_.pluginPath, error)) return Failure(error);
  if (std::string(module_.EntryName()) != "VSTPluginMain" && !options_.quiet) {
    std::fprintf(stderr, "note: %s exports no VSTPluginMain; using its entry point %s\n",
                 options_.pluginPath.c_str(), module_.EntryName());
  }
  if (options_.json || !options_.settings.empty()) {
    params_ = ProbeParams(module_.EntryPoint(), host_.Callback(), error);
    if (!error.empty()) return Failure(error);
  }
  return NewInstance();
}

Outcome Session::NewInstance() {
  plugin_ = std::make_unique<VstPlugin>();
  std::string error;
  if (!plugin_->Create(module_.EntryPoint(), host_.Callback(), error)) return Failure(error);
  plugin_->Dispatch(effOpen);
  return ApplyState(*plugin_, options_, params_);
}

Outcome Session::PrintReport() {
  if (!options_.json && (!options_.report || options_.quiet)) return {};
  // Audio on standard output leaves the report to standard error.
  std::FILE* out = IsStd(options_.outputPath) ? stderr : stdout;
  const std::string text = options_.json ? PluginJson(*plugin_, params_, module_.EntryName())
                                         : PluginReport(*plugin_, module_.EntryName());
  std::fputs(text.c_str(), out);
  std::fflush(out); // before progress and messages on standard error
  return {};
}

Outcome Session::OpenSource(const std::string& input, std::unique_ptr<AudioSource>& source,
                            AudioFileSource*& file) {
  std::string error;
  if (input.empty()) {
    const int rate = options_.sampleRate != 0 ? options_.sampleRate : kDefaultSampleRate;
    const auto frames = static_cast<int64_t>(std::llround(options_.seconds * rate));
    source = SignalSource::Create(options_.signal, rate, frames, options_.channels, error);
    return source ? Outcome() : Usage("--signal " + options_.signal + ": " + error);
  }
  std::unique_ptr<AudioFileSource> opened = AudioFileSource::Open(input, error);
  if (!opened) return Failure(error);
  file = opened.get();
  source = std::move(opened);
  return {};
}

Outcome Session::RenderInput(const std::string& input, bool freshInstance) {
  if (freshInstance) {
    const Outcome made = NewInstance();
    if (made.Failed()) return made;
  }
  std::unique_ptr<AudioSource> opened;
  AudioFileSource* file = nullptr;
  const Outcome sourceOpened = OpenSource(input, opened, file);
  if (sourceOpened.Failed()) return sourceOpened;
  AudioSource* source = opened.get();
  std::unique_ptr<ResamplingSource> resampler;
  std::string error;
  if (file != nullptr && options_.sampleRate != 0 && options_.sampleRate != file->SampleRate()) {
    resampler = ResamplingSource::Create(*file, options_.sampleRate, error);
    if (!resampler) return Failure(error);
    if (!options_.quiet) {
      std::fprintf(stderr, "note: resampling %s from %d Hz to %d Hz\n", input.c_str(),
                   file->SampleRate(), options_.sampleRate);
    }
    source = resampler.get();
  }

  RenderSettings settings = options_.render;
  settings.tailUntilDecayed = options_.tailSeconds < 0.0;
  settings.tailSeconds = settings.tailUntilDecayed ? kMaxTailSeconds : options_.tailSeconds;
  const int rate = source->SampleRate();
  const int64_t tailFrames = static_cast<int64_t>(std::llround(settings.tailSeconds * rate));
  const int64_t maxFrames = source->Length() < 0 ? -1 : source->Length() + tailFrames;
  const int outChannels = std::min(source->Channels(), plugin_->Effect()->numOutputs);

  const std::string output = OutputFor(options_, input);
  std::unique_ptr<AudioFileSink> sink;
  if (!output.empty()) {
    sink = AudioFileSink::Create(output, options_.format, std::max(outChannels, 1), rate, maxFrames,
                                 error);
    if (!sink) return Failure(error);
  }
  OutputMeter meter(sink.get());
  RenderResult result;
  bool rendered;
  {
    ProgressLine progress(!options_.quiet, input.empty() ? "rendering" : input, rate);
    rendered = Render(
        *plugin_, host_, *source, meter, settings,
        [&progress](int64_t done, int64_t total) { progress.Update(done, total); }, result, error);
  }
  const int64_t declared = file != nullptr ? file->DeclaredFrames() : -1;
  const int64_t read = file != nullptr ? file->FramesRead() : 0;
  // The input closes before the output may take its place.
  resampler.reset();
  opened.reset();
  if (!rendered) return Failure(error);
  if (sink && !sink->Finish(error)) return Failure(error);

  if (declared > read) {
    Warn(input + ": truncated: its header declares " + std::to_string(declared) +
         " frames, the file holds " + std::to_string(read) + "; rendered what is there");
  }
  for (const MidiNote& note : result.notesAfterEnd) {
    Warn("the note at " + NumberText(note.startSeconds) + " s starts after the render's end (" +
         NumberText(static_cast<double>(result.frames) / rate) + " s): not sent");
  }
  const bool integerFile = sink && sink->WritesIntegers();
  Summarise(output, result, rate, meter, integerFile);
  return {};
}

void Session::Summarise(const std::string& output, const RenderResult& result, int rate,
                        const OutputMeter& meter, bool integerFile) {
  if (meter.Peak() > 1.0f) {
    Warn("the output peaks at " + DecibelText(meter.Peak()) + ", above full scale" +
         (integerFile ? ": the file is clipped" : ""));
  }
  if (options_.render.notes.empty() && WaitsForNotes(*plugin_))
    Warn("this program is opened by MIDI notes: add --note");
  if (options_.quiet) return;
  std::fprintf(
      stderr,
      "rendered %lld frames (%.3f s), %d channel(s) at %d Hz, %lld MIDI event(s) back%s%s\n",
      static_cast<long long>(result.frames), static_cast<double>(result.frames) / rate,
      result.outputChannels, rate, static_cast<long long>(host_.MidiEventsReceived()),
      output.empty() ? "" : " -> ", IsStd(output) ? "standard output" : output.c_str());
  std::fprintf(stderr, "levels: %s\n", meter.Text().c_str());
  const int64_t peakMemory = PeakResidentBytes();
  if (peakMemory > 0)
    std::fprintf(stderr, "peak memory: %.1f MB\n", static_cast<double>(peakMemory) / 1048576.0);
}

Outcome Session::Finish() {
  std::string error;
  if (options_.editorScale > 0.0)
    plugin_->Dispatch(effVendorSpecific, kVstScaleFactorIndex, kVstScaleFactorValue, nullptr,
                      static_cast<float>(options_.editorScale));
  if (!options_.screenshotPath.empty()) {
    if (!SaveScreenshot(*plugin_, options_.screenshotPath, error)) return Failure(error);
    if (!options_.quiet)
      std::fprintf(stderr, "editor picture -> %s\n", options_.screenshotPath.c_str());
  }
  if (!options_.saveState.empty()) {
    const Outcome saved = SaveState(*plugin_, options_.saveState);
    if (saved.Failed()) return saved;
  }
  if (!options_.saveBank.empty()) {
    const Outcome saved = SaveBank(*plugin_, options_.saveBank);
    if (saved.Failed()) return saved;
  }
  plugin_->Close();
  return {};
}

// Says what failed, and answers the exit status.
int Conclude(const Outcome& outcome) {
  if (outcome.Failed()) std::fprintf(stderr, "error: %s\n", outcome.message.c_str());
  return outcome.code;
}

} // namespace

int RunHost(const Options& options) {
  const Outcome checked = CheckWrittenFiles(options);
  if (checked.Failed()) return Conclude(checked);
  if (!options.signal.empty()) {
    // A bad signal is a bad command line: found before the plug-in loads.
    std::string error;
    const int rate = options.sampleRate != 0 ? options.sampleRate : kDefaultSampleRate;
    if (!SignalSource::Create(options.signal, rate, 0, options.channels, error))
      return Conclude(Usage("--signal " + options.signal + ": " + error));
  }

  Session session(options);
  Outcome outcome = session.Start();
  if (!outcome.Failed()) outcome = session.PrintReport();
  if (outcome.Failed()) return Conclude(outcome);

  if (!options.signal.empty()) {
    outcome = session.RenderInput("", false);
    if (outcome.Failed()) return Conclude(outcome);
  }
  int failed = 0;
  for (size_t i = 0; i < options.inputPaths.size() && !outcome.Failed(); ++i) {
    const Outcome one = session.RenderInput(options.inputPaths[i], i > 0);
    if (one.Failed()) {
      ++failed;
      Conclude(one);
      // With several inputs the others still render.
      if (options.inputPaths.size() == 1 || one.code == kExitUsage) outcome = one;
    }
  }
  if (failed > 0 && options.inputPaths.size() > 1)
    std::fprintf(stderr, "error: %d of %zu inputs failed\n", failed, options.inputPaths.size());
  if (outcome.Failed()) return outcome.code;
  if (failed > 0) return kExitFailure;

  outcome = session.Finish();
  if (!outcome.Failed() && (std::fflush(stdout) != 0 || std::ferror(stdout) != 0))
    outcome = Failure("standard output: write failed (the report is incomplete)");
  return Conclude(outcome);
}

} // namespace vsthost
