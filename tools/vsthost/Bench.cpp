#include "Bench.h"

#include "FileSystem.h"
#include "HostRun.h"
#include "IdleHostThread.h"
#include "PluginModule.h"
#include "RenderHost.h"
#include "TestSignal.h"
#include "VstPlugin.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

namespace vsthost {
namespace {

constexpr int kChannels = 2;
constexpr int kHeldKey = 60;

struct Bench {
  std::string path;
  PluginModule module;
  VstPlugin plugin;
  std::vector<std::vector<float>> out;
  std::vector<double> nsPerFrame; // one per round
};

int Fail(int code, const std::string& message) {
  std::fprintf(stderr, "error: %s\n", message.c_str());
  return code;
}

// A note-on at the first frame of the next block, and nothing else.
void HoldNote(const VstPlugin& plugin) {
  VstMidiEvent note{};
  note.type = kVstMidiType;
  note.byteSize = sizeof note;
  note.midiData[0] = static_cast<char>(0x90);
  note.midiData[1] = kHeldKey;
  note.midiData[2] = 100;
  struct {
    int32_t numEvents;
    intptr_t reserved;
    VstEvent* events[2];
  } list{1, 0, {reinterpret_cast<VstEvent*>(&note), nullptr}};
  plugin.Dispatch(effProcessEvents, 0, 0, &list);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

} // namespace

int RunBench(const Options& options) {
  const IdleHostThread userInterface;
  const int rate = options.sampleRate != 0 ? options.sampleRate : kDefaultSampleRate;
  const int block = options.render.blockSize;
  const auto frames = static_cast<int64_t>(options.seconds * rate);
  // A second of noise or two blocks, cycled: no block sees the same input twice in a row.
  const int noiseFrames = std::max(rate, 2 * block);
  std::string error;
  AudioBuffer noise;
  if (!MakeTestSignal("noise", rate, static_cast<size_t>(noiseFrames), kChannels, noise, error))
    return Fail(kExitFailure, error);

  RenderHost host;
  host.SetSampleRate(rate);
  host.SetBlockSize(block);
  std::vector<std::unique_ptr<Bench>> benches;
  std::vector<std::string> paths = {options.pluginPath};
  paths.insert(paths.end(), options.inputPaths.begin(), options.inputPaths.end());
  for (const std::string& path : paths) {
    auto bench = std::make_unique<Bench>();
    bench->path = path;
    if (!bench->module.Load(path, error) ||
        !bench->plugin.Create(bench->module.EntryPoint(), host.Callback(), error)) {
      return Fail(kExitFailure, error);
    }
    const VstPlugin& plugin = bench->plugin;
    if ((plugin.Effect()->flags & effFlagsCanReplacing) == 0)
      return Fail(kExitFailure, path + ": no float processReplacing");
    plugin.Dispatch(effOpen);
    if (!options.program.empty()) {
      const int program = plugin.FindProgram(options.program);
      if (program < 0) return Fail(kExitUsage, path + ": no program '" + options.program + "'");
      plugin.Dispatch(effSetProgram, 0, program);
    }
    plugin.Dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(rate));
    plugin.Dispatch(effSetBlockSize, 0, block);
    plugin.Dispatch(effMainsChanged, 0, 1);
    plugin.Dispatch(effStartProcess);
    HoldNote(plugin);
    const int outputs = std::max(plugin.Effect()->numOutputs, kChannels);
    bench->out.assign(static_cast<size_t>(outputs), std::vector<float>(static_cast<size_t>(block)));
    benches.push_back(std::move(bench));
  }

  // Round 0 warms caches and lets envelopes start; it is not counted.
  for (int round = 0; round <= options.benchRounds; ++round) {
    for (auto& bench : benches) {
      AEffect* effect = bench->plugin.Effect();
      std::vector<float*> outs;
      for (auto& channel : bench->out)
        outs.push_back(channel.data());
      const int inputs = std::max(effect->numInputs, 1);
      std::vector<float*> ins(static_cast<size_t>(std::max(inputs, kChannels)));
      const auto start = std::chrono::steady_clock::now();
      for (int64_t pos = 0; pos < frames; pos += block) {
        const auto n = static_cast<int32_t>(std::min<int64_t>(block, frames - pos));
        const auto offset = static_cast<size_t>(pos % (noiseFrames - block));
        for (size_t c = 0; c < ins.size(); ++c)
          ins[c] = noise.channels[c % kChannels].data() + offset;
        effect->processReplacing(effect, ins.data(), outs.data(), n);
      }
      const std::chrono::duration<double, std::nano> took =
          std::chrono::steady_clock::now() - start;
      if (round > 0) bench->nsPerFrame.push_back(took.count() / static_cast<double>(frames));
    }
  }

  std::printf("| plug-in | ns per frame (median) | fastest | slowest | x real time |\n");
  std::printf("|---|---:|---:|---:|---:|\n");
  for (auto& bench : benches) {
    const auto [fastest, slowest] =
        std::minmax_element(bench->nsPerFrame.begin(), bench->nsPerFrame.end());
    const double median = Median(bench->nsPerFrame);
    std::string name = bench->plugin.Text(effGetEffectName);
    if (name.empty()) name = BaseName(bench->path);
    std::printf("| %s | %.2f | %.2f | %.2f | %.0f |\n", name.c_str(), median, *fastest, *slowest,
                1e9 / (median * rate));
    bench->plugin.Dispatch(effStopProcess);
    bench->plugin.Dispatch(effMainsChanged, 0, 0);
  }
  if (!options.quiet) {
    std::fprintf(stderr, "%d rounds of %.3f s at %d Hz in blocks of %d, interleaved\n",
                 options.benchRounds, options.seconds, rate, block);
  }
  return std::fflush(stdout) == 0 && std::ferror(stdout) == 0 ? kExitSuccess : kExitFailure;
}

} // namespace vsthost
