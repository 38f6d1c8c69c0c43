// The developer trace: number formatting, line layout, and which operations write it.

#include "effect/DebugTrace.h"
#include "framework/AudioCallScope.h"
#include "tests/effect/AllocationCounter.h"
#include "tests/effect/EffectRig.h"
#include "tests/framework/TestThread.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace quorvane {

namespace {

std::string Number(double x) {
  char text[64];
  FormatTraceNumber(text, sizeof text, x);
  return text;
}

std::string Line(const char* label, std::initializer_list<double> values) {
  double numbers[kTraceNumberCount];
  for (double& n : numbers)
    n = kTraceAbsent;
  int i = 0;
  for (double v : values)
    numbers[i++] = v;
  char line[kTraceLineCapacity];
  FormatTraceLine(line, sizeof line, label, numbers);
  return line;
}

TEST(TraceNumbers, WholeNumbersPrintAsIntegers) {
  EXPECT_EQ(Number(0.0), "0");
  EXPECT_EQ(Number(-0.0), "0");
  EXPECT_EQ(Number(3.0), "3");
  EXPECT_EQ(Number(-42.0), "-42");
  EXPECT_EQ(Number(20000.0), "20000");
  EXPECT_EQ(Number(4294967296.0), "4294967296");
  // Magnitudes below 1e-15 count as zero.
  EXPECT_EQ(Number(1e-16), "0");
  EXPECT_EQ(Number(-9e-16), "0");
}

TEST(TraceNumbers, FractionsUseTheFewestDecimalsUpToEleven) {
  EXPECT_EQ(Number(0.5), "0.5");
  EXPECT_EQ(Number(-2.25), "-2.25");
  EXPECT_EQ(Number(0.1), "0.1");
  EXPECT_EQ(Number(0.001), "0.001");
  EXPECT_EQ(Number(1.0 / 3.0), "0.33333333333");
  EXPECT_EQ(Number(static_cast<float>(0.9)), "0.89999997616");
  EXPECT_EQ(Number(2e-15), "0.00000000000");
  EXPECT_EQ(Number(123456.5), "123456.5");
}

TEST(TraceNumbers, ExtremesNeitherOverflowNorOverrun) {
  EXPECT_EQ(Number(1e20), "1e+20");
  EXPECT_EQ(Number(-kTraceAbsent), "-1.7976931348623157e+308");
  EXPECT_EQ(Number(INFINITY), "inf");
  EXPECT_EQ(Number(-INFINITY), "-inf");
  EXPECT_EQ(Number(NAN), "nan");
  char tiny[4];
  EXPECT_EQ(FormatTraceNumber(tiny, sizeof tiny, 123456.0), 3u);
  EXPECT_STREQ(tiny, "123");
}

TEST(TraceLines, LabelBlankThenNumbersUpToTheLastPresent) {
  EXPECT_EQ(Line("OnParamChange", {1, 0.5, 0.25}), "OnParamChange 1, 0.5, 0.25");
  EXPECT_EQ(Line("VSTCLASS::Reset", {}), "VSTCLASS::Reset ");
  EXPECT_EQ(Line("", {7, 8}), "7, 8");
  EXPECT_EQ(Line("", {}), "");
  EXPECT_EQ(Line("x", {1, kTraceAbsent, 3}), "x 1, 1.7976931348623157e+308, 3");
  EXPECT_EQ(Line("x", {1, 2, kTraceAbsent}), "x 1, 2");
  EXPECT_EQ(Line("all", {1, 2, 3, 4, 5, 6, 7, 8, 9}), "all 1, 2, 3, 4, 5, 6, 7, 8, 9");
}

TEST(TraceLines, ALineTooLongIsCut) {
  const std::string label(1000, 'a');
  const std::string line = Line(label.c_str(), {1.0 / 3.0, 1.0 / 3.0});
  EXPECT_EQ(line.size(), kTraceLineCapacity - 1);
  char small[8];
  const double none[kTraceNumberCount] = {kTraceAbsent, kTraceAbsent, kTraceAbsent,
                                          kTraceAbsent, kTraceAbsent, kTraceAbsent,
                                          kTraceAbsent, kTraceAbsent, kTraceAbsent};
  EXPECT_EQ(FormatTraceLine(small, sizeof small, "OnActivate", none), 7u);
  EXPECT_STREQ(small, "OnActiv");
  EXPECT_EQ(FormatTraceLine(small, 0, "OnActivate", none), 0u);
  EXPECT_EQ(FormatTraceLine(small, sizeof small, nullptr, none), 0u);
}

void DropLine(const char*) {}

TEST(TraceLines, WritingALineAllocatesNothing) {
  const TraceSink previous = SetTraceSink(DropLine);
  const std::string longLabel(500, 'z');
  const auto before = AllocationCount();
  DebugTrace("OnParamChange", 4, 1.0 / 3.0, 2e-5, 0.9f, 1e300);
  DebugTrace(longLabel.c_str(), 1, 2, 3, 4, 5, 6, 7, 8, 9);
  EXPECT_EQ(AllocationCount(), before);
  SetTraceSink(previous);
}

TEST(EffectTrace, ConstructorAndOpenWriteTheirLines) {
  TraceCapture trace;
  VSTCLASS effect(nullptr);
  ASSERT_EQ(trace.Lines().size(), 1u);
  EXPECT_EQ(trace.Lines()[0], "VSTCLASS::VSTCLASS ");

  trace.Clear();
  effect.AnnounceAllParams();
  // One line per parameter, and two more for ENV Sustain's nested decay and release.
  ASSERT_EQ(trace.Lines().size(), 16u);
  for (const std::string& line : trace.Lines())
    EXPECT_EQ(line.rfind("OnParamChange ", 0), 0u) << line;
}

TEST(EffectTrace, OnParamChangeReportsStageAndSteps) {
  EffectRig rig(44100.0);
  TraceCapture trace;
  rig.Set(VSTCLASS::kParamEnvDepth, 50);
  ASSERT_EQ(trace.Lines().size(), 1u);
  // Stage idle; attack 800 ms, decay 500 ms from 1 to 0.9, sustain 0.9, release 700 ms.
  EXPECT_EQ(trace.Lines()[0],
            "OnParamChange 0, 0.00002834467, 0.00000453515, 0.89999997616, 0.00002915452");

  trace.Clear();
  rig.Set(VSTCLASS::kParamEnvSustain, 100);
  ASSERT_EQ(trace.Lines().size(), 3u);
  EXPECT_EQ(trace.Lines()[0], "OnParamChange 0, 0.00002834467, 0, 1, 0.00002915452");
  EXPECT_EQ(trace.Lines()[1], "OnParamChange 0, 0.00002834467, 0, 1, 0.00003239391");
  EXPECT_EQ(trace.Lines()[2], trace.Lines()[1]);
}

TEST(EffectTrace, ResetAndActivationWriteTheirLabels) {
  EffectRig rig(44100.0);
  TraceCapture trace;
  rig.Effect().Reset();
  ASSERT_EQ(trace.Lines().size(), 1u);
  EXPECT_EQ(trace.Lines()[0], "VSTCLASS::Reset ");

  trace.Clear();
  rig.Effect().SetSampleRate(48000.0);
  rig.Effect().Reset();
  ASSERT_EQ(trace.Lines().size(), 4u);
  EXPECT_EQ(trace.Lines()[3], "VSTCLASS::Reset ");

  trace.Clear();
  rig.Effect().OnActivate(true);
  rig.Effect().OnActivate(false);
  ASSERT_EQ(trace.Lines().size(), 2u);
  EXPECT_EQ(trace.Lines()[0], "OnActivate ");
  EXPECT_EQ(trace.Lines()[1], "OnActivate ");
}

TEST(EffectTrace, TheAudioPathWritesNothing) {
  VSTCLASS effect(nullptr);
  effect.AnnounceAllParams();
  TraceCapture trace;
  double in[2][16] = {}, out[2][16];
  double* inputs[2] = {in[0], in[1]};
  double* outputs[2] = {out[0], out[1]};
  effect.ProcessBlock(inputs, outputs, 16); // the first block, which remakes steps
  MidiMessage noteOn;
  noteOn.status = 0x90;
  noteOn.data2 = 1;
  effect.HandleMidi(noteOn);
  effect.ProcessBlock(inputs, outputs, 16);
  EXPECT_TRUE(trace.Lines().empty());
}

// Lines made inside an audio call, from a thread playing the host's audio thread.
thread_local bool onAudioThread = false;
int sinkCallsOnAudioThread = 0;
std::vector<std::string> written;

void CountingSink(const char* line) {
  if (onAudioThread) ++sinkCallsOnAudioThread;
  written.emplace_back(line);
}

void SetAttackOnAudioThread(EffectRig& rig, int first, int count) {
  TestThread audio([&] {
    onAudioThread = true;
    for (int i = first; i < first + count; ++i) {
      AudioCallScope scope; // as the binding opens around setParameter
      rig.Set(VSTCLASS::kParamEnvAttack, i);
    }
  });
  audio.Join();
}

TEST(EffectTrace, AudioCallLinesWaitForTheUserInterfaceThread) {
  EffectRig rig(44100.0);
  const TraceSink previous = SetTraceSink(CountingSink);
  written.clear();
  sinkCallsOnAudioThread = 0;

  SetAttackOnAudioThread(rig, 1, 3);
  EXPECT_TRUE(written.empty());
  rig.Set(VSTCLASS::kParamEnvDepth, 50); // a user-interface call writes what waits first
  ASSERT_EQ(written.size(), 4u);
  EXPECT_EQ(written[0].rfind("OnParamChange 0, 0.02267573774, ", 0), 0u) << written[0];
  EXPECT_EQ(written[2].rfind("OnParamChange 0, 0.00755857909, ", 0), 0u) << written[2];

  written.clear();
  SetAttackOnAudioThread(rig, 1, 200); // more than the queue holds
  RunUserInterfaceTurn();
  ASSERT_EQ(written.size(), 65u);
  EXPECT_EQ(written[0].rfind("OnParamChange 0, 0.02267573774, ", 0), 0u) << written[0];
  EXPECT_EQ(written[64], "DebugTrace lost 136");
  EXPECT_EQ(sinkCallsOnAudioThread, 0);
  SetTraceSink(previous);
}

} // namespace

} // namespace quorvane
