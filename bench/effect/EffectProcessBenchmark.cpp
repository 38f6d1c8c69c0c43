// Cost of VSTCLASS::ProcessBlock per stereo frame, for the static filter and
// for the envelope on each of its targets, each next to its floor: the same
// arithmetic in a plain loop. Prints a summary with the ratios after the run
// (best of the repetitions; run with --benchmark_repetitions=N).

#include "bench/effect/ProcessFloor.h"
#include "effect/DebugTrace.h"
#include "effect/VSTCLASS.h"
#include "tests/support/Signals.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

using namespace quorvane;

namespace {

constexpr int32_t kFrames = 512;
constexpr double kRate = 48000.0;

struct Case {
  const char* name;
  int32_t target;
};

constexpr Case kCases[] = {
    {"static filter", 0},
    {"envelope on frequency", 1},
    {"envelope on bandwidth", 2},
    {"envelope on mix", 3},
};

void SetParam(VSTCLASS& effect, int32_t index, double value) {
  effect.Param(index)->SetClampedValue(value);
  effect.OnParamChange(index);
}

void DropTrace(const char*) {}

void BM_ProcessBlock(benchmark::State& state) {
  const Case& c = kCases[state.range(0)];
  SetTraceSink(DropTrace);
  VSTCLASS effect(nullptr);
  effect.SetSampleRate(kRate);
  effect.AnnounceAllParams();
  effect.Reset();
  SetParam(effect, VSTCLASS::kParamFilterType, 2);
  SetParam(effect, VSTCLASS::kParamFilterFreq, 2000);
  SetParam(effect, VSTCLASS::kParamEnvAttack, 8000);
  SetParam(effect, VSTCLASS::kParamEnvTarget, c.target);
  MidiMessage noteOn;
  noteOn.status = 0x90;
  noteOn.data2 = 100;
  effect.HandleMidi(noteOn);

  std::vector<double> inLeft = Noise(kFrames, 1), inRight = Noise(kFrames, 2), outLeft(kFrames), outRight(kFrames);
  double* inputs[2] = {inLeft.data(), inRight.data()};
  double* outputs[2] = {outLeft.data(), outRight.data()};
  for (auto _ : state) {
    effect.ProcessBlock(inputs, outputs, kFrames);
    benchmark::DoNotOptimize(outLeft.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kFrames);
  state.SetLabel(c.name);
}

void BM_Floor(benchmark::State& state) {
  const Case& c = kCases[state.range(0)];
  FloorSetup setup;
  setup.target = c.target;
  setup.rate = kRate;
  setup.attackStep = static_cast<float>(1.0 / 8000.0 / kRate * 1000.0);
  setup.compGain = 1.9952623f;
  switch (c.target) {
  case 1:
    setup.modDepth = 0.9f * 19980.0f;
    setup.modBase = 2000.0f;
    setup.graphMin = 20.0f;
    setup.graphMax = 20000.0f;
    break;
  case 2:
    setup.modDepth = 0.9f * 0.99f;
    setup.modBase = 0.1f;
    setup.graphMin = 0.01f;
    break;
  default:
    setup.modDepth = 0.9f;
    setup.modBase = 0.1f;
    break;
  }
  ProcessFloor floor(setup);
  std::vector<double> inLeft = Noise(kFrames, 1), inRight = Noise(kFrames, 2), outLeft(kFrames), outRight(kFrames);
  for (auto _ : state) {
    floor.Process(inLeft.data(), inRight.data(), outLeft.data(), outRight.data(), kFrames);
    benchmark::DoNotOptimize(outLeft.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kFrames);
  state.SetLabel(c.name);
}

BENCHMARK(BM_ProcessBlock)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Floor)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

// Console output as usual, plus the best CPU time per frame over the
// repetitions of every benchmark, keyed by name: on a shared machine the
// fastest repetition is the one least disturbed by other work.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.error_occurred || run.run_type != Run::RT_Iteration || run.iterations == 0) continue;
      const double nanoseconds =
          run.cpu_accumulated_time * 1e9 / static_cast<double>(run.iterations) / kFrames;
      const auto found = best.find(run.benchmark_name());
      if (found == best.end() || nanoseconds < found->second)
        best[run.benchmark_name()] = nanoseconds;
    }
  }

  double NanosecondsPerFrame(const std::string& name) const {
    const auto found = best.find(name);
    return found == best.end() ? 0.0 : found->second;
  }

private:
  std::map<std::string, double> best;
};

} // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  SummaryReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);

  std::printf("\nProcessBlock, %d-frame blocks at %.0f Hz, CPU ns per stereo frame "
              "(best repetition):\n\n",
              static_cast<int>(kFrames), kRate);
  std::printf("| case | ProcessBlock | floor | ratio |\n|---|---:|---:|---:|\n");
  for (int i = 0; i < 4; ++i) {
    const std::string suffix = "/" + std::to_string(i);
    const double effect = reporter.NanosecondsPerFrame("BM_ProcessBlock" + suffix);
    const double floor = reporter.NanosecondsPerFrame("BM_Floor" + suffix);
    if (effect <= 0.0 || floor <= 0.0) continue;
    std::printf("| %s | %.2f | %.2f | %.2f |\n", kCases[i].name, effect, floor, effect / floor);
  }
  benchmark::Shutdown();
  return 0;
}
