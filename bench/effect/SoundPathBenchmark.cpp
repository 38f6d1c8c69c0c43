// The sound path's cost through the VST2 float callback (processReplacing,
// stereo noise at 48 kHz, a note held), case by case, against floor kernels
// measured in the same run, and the cost of a host's setParameter. Loads the
// plug-in from its path, so the Windows build measures the DLL under Wine.
//
// Prints Google Benchmark's table, then the median of the repetitions of
// every case as nanoseconds per stereo frame, its ratio to its floor and how
// many times faster than real time it runs. Repetitions are interleaved.
// Also the module's load (timed as the program starts) and a host's
// instantiation.

#include "BenchedPlugin.h"
#include "FloorKernels.h"
#include "IdleHostThread.h"
#include "PluginModule.h"
#include "effect/VSTCLASS.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr double kRate = 48000.0;
constexpr int kBlock = 512;
constexpr int kSmallBlock = 16;
// Frames of real time per nanosecond of work, at kRate: x real time = this / ns.
constexpr double kRealTimeNanoseconds = 1e9 / kRate;

// The effect's parameter indices a host uses here.
using quorvane::VSTCLASS;
constexpr int kParamEnvTarget = VSTCLASS::kParamEnvTarget;
constexpr int kParamEnvAttack = VSTCLASS::kParamEnvAttack;
constexpr int kParamEnvDecay = VSTCLASS::kParamEnvDecay;
constexpr int kParamEnvReset = VSTCLASS::kParamEnvReset;
constexpr int kTargetCount = 4;

VstPluginMainProc pluginEntry = nullptr;

enum Floor { kPlainSection, kRedesignedSection };
const char* const kFloorNames[] = {"plain stereo section", "per-sample tan redesign"};

struct PluginCase {
  const char* name;
  int program;
  int target;   // -1: the program's own
  float attack; // normalised ENV Attack; -1: the program's own
  float decay;  // normalised ENV Decay; -1: the program's own
  int blockSize;
  bool keepMoving; // restart the attack before it ends, so the value moves at every sample
  Floor floor;
  const char* relativeTo; // another case this one is compared with, or null
  double goal;            // the ratio to aim for
};

// Program 1 is a band-pass at 2 kHz with no target; program 5 sweeps a
// high-pass's frequency. The held and mix cases are program 1 with a target
// assigned, so they compare with its static cost.
const PluginCase kCases[] = {
    {"static filter", 1, -1, -1.0f, -1.0f, kBlock, false, kPlainSection, nullptr, 1.1},
    {"static filter, 16-frame blocks", 1, -1, -1.0f, -1.0f, kSmallBlock, false, kPlainSection,
     "static filter", 1.3},
    {"envelope on frequency, moving", 5, -1, 1.0f, -1.0f, kBlock, true, kRedesignedSection, nullptr,
     0.5},
    {"envelope on bandwidth, moving", 5, 2, 1.0f, -1.0f, kBlock, true, kRedesignedSection, nullptr,
     0.5},
    {"envelope on frequency, held", 1, 1, 0.0f, 0.0f, kBlock, false, kPlainSection, "static filter",
     1.2},
    {"envelope on mix, moving", 1, 3, 1.0f, -1.0f, kBlock, true, kPlainSection, "static filter",
     1.2},
};

// 500 blocks of 512 frames at 48 kHz are 5.3 s: two thirds of an 8 s attack.
constexpr int kRestartEvery = 500;

// Frames processed per iteration of every benchmark, by name.
std::map<std::string, double> framesPerIteration;

void PluginCaseBenchmark(benchmark::State& state, const PluginCase& c) {
  BenchedPlugin plugin(pluginEntry, kRate, c.blockSize);
  if (!plugin.Valid()) {
    state.SkipWithError("the plug-in did not open");
    return;
  }
  plugin.SelectProgram(c.program);
  if (c.target >= 0) plugin.SetParameter(kParamEnvTarget, c.target / (kTargetCount - 1.0f));
  if (c.attack >= 0.0f) plugin.SetParameter(kParamEnvAttack, c.attack);
  if (c.decay >= 0.0f) plugin.SetParameter(kParamEnvDecay, c.decay);
  plugin.Note(true);
  int blocks = 0;
  for (auto _ : state) {
    if (c.keepMoving && ++blocks % kRestartEvery == 0) {
      plugin.SetParameter(kParamEnvReset, 1.0f);
      plugin.SetParameter(kParamEnvReset, 0.0f);
      plugin.Note(true);
    }
    plugin.ProcessBlock();
    benchmark::DoNotOptimize(plugin.LastOutput());
    benchmark::ClobberMemory();
  }
}

void FloorBenchmark(benchmark::State& state, Floor floor) {
  std::mt19937 generator(7);
  std::uniform_real_distribution<float> uniform(-1.0f, 1.0f);
  std::vector<float> in[2], out[2];
  for (int ch = 0; ch < 2; ++ch) {
    in[ch].resize(kBlock);
    out[ch].resize(kBlock);
    for (float& x : in[ch])
      x = uniform(generator);
  }
  const float* inputs[2] = {in[0].data(), in[1].data()};
  float* outputs[2] = {out[0].data(), out[1].data()};
  FloorSection section;
  DesignFloorSection(section, 2000.0, 3.0, kRate);
  FloorSweep sweep;
  for (auto _ : state) {
    if (floor == kPlainSection)
      RunPlainSection(section, inputs, outputs, kBlock);
    else
      RunRedesignedSection(section, sweep, inputs, outputs, kBlock);
    benchmark::DoNotOptimize(out[0].data());
    benchmark::ClobberMemory();
  }
}

// A host's instantiation: entry point, open, rate, block size, resume, and
// the matching close.
void InstantiateBenchmark(benchmark::State& state) {
  for (auto _ : state) {
    BenchedPlugin plugin(pluginEntry, kRate, kBlock);
    benchmark::DoNotOptimize(plugin.Valid());
  }
}

void SetParameterBenchmark(benchmark::State& state) {
  BenchedPlugin plugin(pluginEntry, kRate, kBlock);
  if (!plugin.Valid()) {
    state.SkipWithError("the plug-in did not open");
    return;
  }
  float value = 0.3f;
  for (auto _ : state) {
    plugin.SetParameter(VSTCLASS::kParamFilterFreq, value);
    value = value == 0.3f ? 0.31f : 0.3f;
  }
}

// Console output as usual; keeps the CPU time per item of every repetition.
class MedianReporter : public benchmark::ConsoleReporter {
public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.error_occurred || run.run_type != Run::RT_Iteration || run.iterations == 0) continue;
      const std::string name = run.run_name.function_name;
      const auto frames = framesPerIteration.find(name);
      if (frames == framesPerIteration.end()) continue;
      times[name].push_back(run.cpu_accumulated_time * 1e9 / static_cast<double>(run.iterations) /
                            frames->second);
    }
  }

  // Median nanoseconds per item of name; 0 when it did not run.
  double Median(const std::string& name) {
    std::vector<double>& t = times[name];
    if (t.empty()) return 0.0;
    std::sort(t.begin(), t.end());
    const std::size_t n = t.size();
    return n % 2 == 1 ? t[n / 2] : (t[n / 2 - 1] + t[n / 2]) / 2.0;
  }

  std::size_t Repetitions(const std::string& name) { return times[name].size(); }

private:
  std::map<std::string, std::vector<double>> times;
};

void Register() {
  for (const PluginCase& c : kCases) {
    benchmark::RegisterBenchmark(c.name, PluginCaseBenchmark, c);
    framesPerIteration[c.name] = c.blockSize;
  }
  for (int f : {kPlainSection, kRedesignedSection}) {
    benchmark::RegisterBenchmark(kFloorNames[f], FloorBenchmark, static_cast<Floor>(f));
    framesPerIteration[kFloorNames[f]] = kBlock;
  }
  benchmark::RegisterBenchmark("setParameter", SetParameterBenchmark);
  framesPerIteration["setParameter"] = 1.0;
  benchmark::RegisterBenchmark("instantiate and open", InstantiateBenchmark);
  framesPerIteration["instantiate and open"] = 1.0;
}

void PrintSummary(MedianReporter& reporter, double firstLoad, double laterLoad) {
  std::printf("\nMedian of %zu interleaved repetitions, CPU ns per stereo frame at %.0f Hz, "
              "%d-frame blocks unless named, all figures from this one run:\n\n",
              reporter.Repetitions("static filter"), kRate, kBlock);
  std::printf("| case | Quorvane | floor | floor ns | ratio | goal | x real time |\n"
              "|---|---:|---|---:|---:|---:|---:|\n");
  for (const PluginCase& c : kCases) {
    const double ns = reporter.Median(c.name);
    const double floorNs = reporter.Median(kFloorNames[c.floor]);
    if (ns <= 0.0 || floorNs <= 0.0) continue;
    const bool relative = c.relativeTo != nullptr;
    const double reference = relative ? reporter.Median(c.relativeTo) : floorNs;
    std::printf("| %s | %.2f | %s | %.2f | %.2f%s | %.2f | %.0f |\n", c.name, ns,
                kFloorNames[c.floor], floorNs, reference > 0.0 ? ns / reference : 0.0,
                relative ? " of static" : "", c.goal, kRealTimeNanoseconds / ns);
  }
  std::printf("\nsetParameter: %.1f ns per call (goal 1000)\n", reporter.Median("setParameter"));
  const double instantiate = reporter.Median("instantiate and open") / 1e6;
  std::printf("loading the module: %.2f ms the first time in the process, %.2f ms again; "
              "instantiating and opening: %.3f ms; load and open together %.2f ms, first time "
              "%.2f ms (goal 20)\n",
              firstLoad, laterLoad, instantiate, laterLoad + instantiate, firstLoad + instantiate);
}

} // namespace

int main(int argc, char** argv) {
  const vsthost::IdleHostThread userInterface;
  std::string path = QUORVANE_BENCHED_PLUGIN;
  std::vector<char*> args;
  bool interleaving = false, repetitions = false;
  for (int i = 0; i < argc; ++i) {
    if (std::strncmp(argv[i], "--plugin=", 9) == 0) {
      path = argv[i] + 9;
      continue;
    }
    interleaving |= std::strstr(argv[i], "random_interleaving") != nullptr;
    repetitions |= std::strstr(argv[i], "benchmark_repetitions") != nullptr;
    args.push_back(argv[i]);
  }
  // Rounds of all cases in turn, so a burst of load elsewhere touches all alike.
  char interleave[] = "--benchmark_enable_random_interleaving=true";
  char nine[] = "--benchmark_repetitions=9";
  if (!interleaving) args.push_back(interleave);
  if (!repetitions) args.push_back(nine);
  int count = static_cast<int>(args.size());
  args.push_back(nullptr);

  std::string error;
  // The first load brings in whatever system libraries the module needs; a
  // host has most of them loaded already, so the load is timed again after
  // an unload.
  double firstLoad = 0.0, laterLoad = 0.0;
  vsthost::PluginModule library;
  for (double* milliseconds : {&firstLoad, &laterLoad}) {
    library.Unload();
    const auto start = std::chrono::steady_clock::now();
    library.Load(path, error);
    *milliseconds =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  }
  pluginEntry = library.EntryPoint();
  if (pluginEntry == nullptr) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  benchmark::Initialize(&count, args.data());
  if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;
  Register();
  MedianReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  PrintSummary(reporter, firstLoad, laterLoad);
  benchmark::Shutdown();
  return 0;
}
