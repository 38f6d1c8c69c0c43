// The audio path never allocates and takes no lock but the plug-in lock (AudioThreadWatch).
// Skipped where the allocator cannot be replaced: under a sanitizer, and on Windows.

#include "tests/integration/PluginFixture.h"
#include "tests/support/AudioThreadWatch.h"

#include <vector>

namespace quorvane {

TEST_F(QuorvaneModuleTest, TheAudioPathDoesNotAllocate) {
  if (!AudioThreadWatch::Available()) GTEST_SKIP() << "the allocator cannot be replaced here";
  constexpr int32_t kAnnounced = 64, kPassed = 1000;
  StartProcessing(kAnnounced);
  Dispatch(effSetProgram, 0, 5);
  VstEventList list{MakeMidi(0, 0x90, 60, 100), MakeMidi(30, 0x80, 60, 0)};
  // The recording host must not allocate either while counting.
  host.calls.reserve(1000);
  host.midiReceived.reserve(100);
  host.eventListSizes.reserve(100);
  std::vector<float> in(kPassed, 0.1f), out0(kPassed), out1(kPassed);
  std::vector<double> din(kPassed, 0.1), dout0(kPassed), dout1(kPassed);
  float* ins[] = {in.data(), in.data()};
  float* outs[] = {out0.data(), out1.data()};
  double* dins[] = {din.data(), din.data()};
  double* douts[] = {dout0.data(), dout1.data()};

  AudioThreadWatch::Start();
  Dispatch(effProcessEvents, 0, 0, list.Get());
  effect->processReplacing(effect, ins, outs, kPassed);
  effect->process(effect, ins, outs, kPassed);
  effect->processDoubleReplacing(effect, dins, douts, kPassed);
  effect->setParameter(effect, VSTCLASS::kParamFilterFreq, 0.7f);
  (void)effect->getParameter(effect, VSTCLASS::kParamFilterFreq);
  AudioThreadWatch::Stop();
  EXPECT_EQ(AudioThreadWatch::Allocations(), 0);
  EXPECT_EQ(host.midiReceived.size(), 2u);
}

// Thousands of blocks through all three callbacks, the envelope driving every target in turn,
// notes arriving and every parameter changing between blocks.
TEST_F(QuorvaneModuleTest, TheAudioPathNeverAllocatesOrTakesAnotherLock) {
  if (!AudioThreadWatch::Available()) GTEST_SKIP() << "the allocator cannot be replaced here";
  constexpr int32_t kFrames = 64;
  constexpr int kBlocks = 6000;
  StartProcessing(kFrames);
  Dispatch(effSetProgram, 0, 4);
  VstEventList list{MakeMidi(0, 0x90, 60, 100), MakeMidi(40, 0x80, 60, 0),
                    MakeMidi(10, 0xB0, 1, 64)};
  host.calls.reserve(4 * kBlocks + 1000);
  host.midiReceived.reserve(4 * kBlocks);
  host.eventListSizes.reserve(4 * kBlocks);
  std::vector<float> in(kFrames), out0(kFrames), out1(kFrames);
  std::vector<double> din(kFrames), dout0(kFrames), dout1(kFrames);
  for (int32_t i = 0; i < kFrames; ++i) {
    in[i] = (i % 16 < 8) ? 0.8f : -0.8f;
    din[i] = in[i];
  }
  float* ins[] = {in.data(), in.data()};
  float* outs[] = {out0.data(), out1.data()};
  double* dins[] = {din.data(), din.data()};
  double* douts[] = {dout0.data(), dout1.data()};

  AudioThreadWatch::Start();
  for (int block = 0; block < kBlocks; ++block) {
    // Each target for a stretch of blocks, with short envelope times so every stage runs.
    if (block % 500 == 0) {
      effect->setParameter(effect, VSTCLASS::kParamEnvTarget,
                           static_cast<float>((block / 500) % 4) / 3.0f);
      effect->setParameter(effect, VSTCLASS::kParamEnvAttack, 0.01f);
      effect->setParameter(effect, VSTCLASS::kParamEnvDecay, 0.01f);
      effect->setParameter(effect, VSTCLASS::kParamEnvRelease, 0.01f);
    }
    if (block % 8 == 0) Dispatch(effProcessEvents, 0, 0, list.Get());
    const int32_t param = block % kParamCount;
    if (param != 4 && param != 5 && param != 6 && param != 8)
      effect->setParameter(effect, param, static_cast<float>(block % 101) / 100.0f);
    switch (block % 3) {
    case 0:
      effect->processReplacing(effect, ins, outs, kFrames);
      break;
    case 1:
      effect->process(effect, ins, outs, kFrames);
      break;
    default:
      effect->processDoubleReplacing(effect, dins, douts, kFrames);
      break;
    }
  }
  AudioThreadWatch::Stop();
  EXPECT_EQ(AudioThreadWatch::Allocations(), 0);
  // The plug-in lock, and nothing else.
  EXPECT_EQ(AudioThreadWatch::Mutexes(), 1);
  EXPECT_GT(host.midiReceived.size(), 0u);
}

} // namespace quorvane
