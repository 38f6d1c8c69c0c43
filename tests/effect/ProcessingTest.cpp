// The sound path: mix, filter memory, compensation, and its safety with
// hostile rates, settings, inputs and buffers.

#include "tests/effect/AllocationCounter.h"
#include "tests/effect/EffectRig.h"
#include "tests/support/Signals.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>

namespace quorvane {

namespace {

// Finite, and either exactly zero or a normal number.
bool Clean(double x) {
  return x == 0.0 || (std::isfinite(x) && std::fabs(x) >= DBL_MIN);
}

TEST(Processing, MixZeroPassesTheInputUnchanged) {
  for (int type = 0; type < 3; ++type) {
    EffectRig rig;
    rig.Set(VSTCLASS::kParamFilterType, type);
    rig.Set(VSTCLASS::kParamFilterFreq, 1000);
    rig.Set(VSTCLASS::kParamFilterMix, 0);
    EXPECT_EQ(rig.State().wet, 0.0f);
    EXPECT_EQ(rig.State().dry, 1.0f);
    const std::vector<double> left = Noise(4096, 1), right = Noise(4096, 2);
    std::vector<double> outLeft, outRight;
    rig.Process(left, right, outLeft, outRight);
    EXPECT_EQ(outLeft, left) << type;
    EXPECT_EQ(outRight, right) << type;
  }
}

TEST(Processing, ChannelsAreFilteredIndependently) {
  EffectRig rig;
  rig.Set(VSTCLASS::kParamFilterType, 0);
  rig.Set(VSTCLASS::kParamFilterFreq, 1000);
  const std::vector<double> noise = Noise(2048, 3), silence(2048, 0.0);
  std::vector<double> outLeft, outRight;
  rig.Process(noise, silence, outLeft, outRight);
  EXPECT_EQ(outRight, silence);
  EXPECT_NE(outLeft, silence);
}

TEST(Processing, OnlyATypeChangeClearsTheFilterMemory) {
  EffectRig rig;
  rig.Set(VSTCLASS::kParamFilterType, 0);
  const std::vector<double> noise = Noise(256, 4);
  std::vector<double> outLeft, outRight;
  rig.Process(noise, noise, outLeft, outRight);
  const FilterMemory memory = rig.State().left;
  ASSERT_NE(memory.w1, 0.0);

  rig.Set(VSTCLASS::kParamFilterFreq, 5000);
  rig.Set(VSTCLASS::kParamFilterBandwidth, 70);
  rig.Set(VSTCLASS::kParamFilterMix, 40);
  rig.Set(VSTCLASS::kParamFilterType, 0); // the type it already has
  EXPECT_EQ(rig.State().left.w1, memory.w1);
  EXPECT_EQ(rig.State().left.w2, memory.w2);

  const double a1 = rig.State().a1;
  rig.Set(VSTCLASS::kParamFilterType, 2);
  EXPECT_EQ(rig.State().left.w0, 0.0);
  EXPECT_EQ(rig.State().left.w1, 0.0);
  EXPECT_EQ(rig.State().left.w2, 0.0);
  EXPECT_EQ(rig.State().right.w1, 0.0);
  EXPECT_EQ(rig.State().a1, a1); // same poles, new gain
}

TEST(Processing, DecayedMemoryBecomesExactZero) {
  EffectRig rig;
  rig.Set(VSTCLASS::kParamFilterType, 2);
  rig.Set(VSTCLASS::kParamFilterBandwidth, 1);
  const std::vector<double> noise = Noise(512, 5);
  std::vector<double> outLeft, outRight;
  rig.Process(noise, noise, outLeft, outRight);
  const std::vector<double> tiny(200000, 1e-16);
  rig.Process(tiny, tiny, outLeft, outRight);
  EXPECT_EQ(rig.State().left.w0, 0.0);
  EXPECT_EQ(rig.State().left.w1, 0.0);
  EXPECT_EQ(rig.State().left.w2, 0.0);
  for (double x : outLeft)
    ASSERT_TRUE(Clean(x));
}

TEST(Processing, WithoutATargetCompensationDoesNothing) {
  std::vector<double> reference;
  for (int decibels : {0, 24}) {
    EffectRig rig;
    rig.Set(VSTCLASS::kParamFilterType, 2);
    rig.Set(VSTCLASS::kParamFilterFreq, 700);
    rig.Set(VSTCLASS::kParamEnvVolCompensation, decibels);
    const std::vector<double> noise = Noise(4096, 6);
    std::vector<double> outLeft, outRight;
    rig.Process(noise, noise, outLeft, outRight);
    if (decibels == 0)
      reference = outLeft;
    else
      EXPECT_EQ(outLeft, reference);
  }
  EffectRig rig;
  rig.Set(VSTCLASS::kParamEnvVolCompensation, 0);
  EXPECT_EQ(rig.State().compGain, 1.0f);
  rig.Set(VSTCLASS::kParamEnvVolCompensation, 20);
  EXPECT_FLOAT_EQ(rig.State().compGain, 10.0f);
}

// Steady output for a DC input through a lowpass (unity at DC whatever the
// bandwidth) while the envelope drives the bandwidth: the compensation factor.
double CompensatedLevel(CompMode mode, int sustain, bool noteHeld) {
  EffectRig rig;
  rig.Set(VSTCLASS::kParamFilterType, 0);
  rig.Set(VSTCLASS::kParamFilterFreq, 5000);
  rig.Set(VSTCLASS::kParamEnvDepth, 100);
  rig.Set(VSTCLASS::kParamEnvAttack, 0);
  rig.Set(VSTCLASS::kParamEnvDecay, 0);
  rig.Set(VSTCLASS::kParamEnvSustain, sustain);
  rig.Set(VSTCLASS::kParamEnvVolCompensation, 6);
  rig.Set(VSTCLASS::kParamEnvCompensation, mode);
  rig.ProcessSilence(1);
  rig.Set(VSTCLASS::kParamEnvTarget, EnvTarget::Bandwidth);
  if (noteHeld) rig.NoteOn();
  const std::vector<double> dc(8192, 1.0);
  std::vector<double> outLeft, outRight;
  rig.Process(dc, dc, outLeft, outRight);
  return outLeft.back();
}

TEST(Processing, CompensationFollowsTheTargetWithinItsRange) {
  const double g = std::pow(10.0, 6.0 / 20.0); // about 1.995
  // Both: full gain at either end, none in the middle.
  EXPECT_NEAR(CompensatedLevel(CompMode::Both, 100, false), g, 1e-5);
  EXPECT_NEAR(CompensatedLevel(CompMode::Both, 100, true), g, 1e-5);
  EXPECT_NEAR(CompensatedLevel(CompMode::Both, 50, true), 1.0, 1e-5);
  // Left: full gain at the bottom; Right: at the top.
  EXPECT_NEAR(CompensatedLevel(CompMode::Left, 100, false), g, 1e-5);
  EXPECT_NEAR(CompensatedLevel(CompMode::Left, 100, true), 1.0, 1e-5);
  EXPECT_NEAR(CompensatedLevel(CompMode::Right, 100, false), 1.0, 1e-5);
  EXPECT_NEAR(CompensatedLevel(CompMode::Right, 100, true), g, 1e-5);
}

TEST(Processing, InPlaceBuffersGiveTheSameOutput) {
  const std::vector<double> left = Noise(1024, 7), right = Noise(1024, 8);
  EffectRig separate, inPlace;
  for (EffectRig* rig : {&separate, &inPlace}) {
    rig->Set(VSTCLASS::kParamFilterType, 2);
    rig->Set(VSTCLASS::kParamFilterMix, 60);
    rig->Set(VSTCLASS::kParamEnvTarget, EnvTarget::Frequency);
    rig->NoteOn();
  }
  std::vector<double> outLeft, outRight;
  separate.Process(left, right, outLeft, outRight);
  std::vector<double> bufferLeft = left, bufferRight = right;
  double* buffers[2] = {bufferLeft.data(), bufferRight.data()};
  inPlace.Effect().ProcessBlock(buffers, buffers, 1024);
  EXPECT_EQ(bufferLeft, outLeft);
  EXPECT_EQ(bufferRight, outRight);
}

TEST(Processing, MissingBuffersAndEmptyBlocksAreIgnored) {
  EffectRig rig;
  double samples[4] = {1, 2, 3, 4};
  double* one[2] = {samples, nullptr};
  double* two[2] = {samples, samples};
  rig.Effect().ProcessBlock(nullptr, two, 4);
  rig.Effect().ProcessBlock(two, nullptr, 4);
  rig.Effect().ProcessBlock(one, two, 4);
  rig.Effect().ProcessBlock(two, one, 4);
  rig.Effect().ProcessBlock(two, two, 0);
  rig.Effect().ProcessBlock(two, two, -5);
  EXPECT_EQ(samples[3], 4.0);
  EXPECT_TRUE(rig.State().initialised);
}

TEST(Processing, ANonFiniteInputDoesNotPoisonTheFilter) {
  for (double bad : {std::nan(""), HUGE_VAL, -HUGE_VAL, DBL_MAX, 1e-310}) {
    EffectRig rig;
    rig.Set(VSTCLASS::kParamFilterType, 0);
    rig.Set(VSTCLASS::kParamFilterFreq, 300);
    rig.Set(VSTCLASS::kParamFilterBandwidth, 1);
    rig.Set(VSTCLASS::kParamFilterMix, 50);
    rig.Set(VSTCLASS::kParamEnvVolCompensation, 24);
    std::vector<double> input = Noise(256, 9);
    input[100] = bad;
    input[101] = bad;
    std::vector<double> outLeft, outRight;
    rig.Process(input, input, outLeft, outRight);
    for (double x : outLeft)
      ASSERT_TRUE(Clean(x)) << bad;
    rig.Process(Noise(256, 10), Noise(256, 10), outLeft, outRight);
    for (double x : outLeft)
      ASSERT_TRUE(Clean(x)) << bad;
    EXPECT_TRUE(std::isfinite(rig.State().left.w1));
  }
}

TEST(Processing, ANonFiniteOrDenormalSampleCountsAsSilence) {
  // The filter rings on through it instead of losing its memory.
  std::vector<double> reference;
  for (double bad : {0.0, std::nan(""), HUGE_VAL, -HUGE_VAL, 1e-310}) {
    EffectRig rig;
    rig.Set(VSTCLASS::kParamFilterType, 2);
    rig.Set(VSTCLASS::kParamFilterMix, 70);
    std::vector<double> input = Noise(512, 14);
    input[200] = bad;
    std::vector<double> outLeft, outRight;
    rig.Process(input, input, outLeft, outRight);
    if (bad == 0.0)
      reference = outLeft;
    else
      EXPECT_EQ(outLeft, reference) << bad;
  }
}

TEST(Processing, ATinyInputNeverReachesTheHostAsADenormalFloat) {
  // 1.5e-38 is a normal float; 30 % of it on the dry path is not.
  EffectRig rig;
  rig.Set(VSTCLASS::kParamFilterType, 0);
  rig.Set(VSTCLASS::kParamFilterMix, 70);
  std::vector<float> in(256, 1.5e-38f), outLeft(256), outRight(256);
  in[100] = -FLT_MIN;
  float* inputs[2] = {in.data(), in.data()};
  float* outputs[2] = {outLeft.data(), outRight.data()};
  rig.Effect().ProcessHostFloat(inputs, outputs, 256, false);
  for (const std::vector<float>* out : {&outLeft, &outRight})
    for (float y : *out)
      ASSERT_TRUE(y == 0.0f || std::fabs(y) >= FLT_MIN) << y;
}

TEST(Processing, EightKilohertzWithTheFrequencyAboveNyquistStaysBounded) {
  EffectRig rig(8000.0);
  rig.Set(VSTCLASS::kParamFilterFreq, 20000);
  rig.Set(VSTCLASS::kParamEnvDepth, 100);
  rig.Set(VSTCLASS::kParamEnvTarget, EnvTarget::Frequency);
  rig.Set(VSTCLASS::kParamEnvAttack, 200);
  // The parameter keeps its value; only the design is held below Nyquist.
  EXPECT_EQ(rig.Effect().Param(VSTCLASS::kParamFilterFreq)->Value(), 20000.0);
  for (int type = 0; type < 3; ++type) {
    rig.Set(VSTCLASS::kParamFilterType, type);
    rig.NoteOn();
    std::vector<double> outLeft, outRight;
    for (int block = 0; block < 40; ++block) {
      const std::vector<double> noise = Noise(512, static_cast<unsigned>(block));
      rig.Process(noise, noise, outLeft, outRight);
      for (double x : outLeft) {
        ASSERT_TRUE(Clean(x));
        ASSERT_LT(std::fabs(x), 50.0);
      }
    }
    rig.NoteOff();
  }
}

TEST(Processing, EveryRateAndExtremeSettingGivesCleanOutput) {
  const EnvTarget targets[] = {EnvTarget::None, EnvTarget::Frequency, EnvTarget::Bandwidth,
                               EnvTarget::Mix};
  for (double rate : {8000.0, 11025.0, 22050.0, 44100.0, 96000.0, 192000.0, 384000.0})
    for (int type = 0; type < 3; ++type)
      for (EnvTarget target : targets)
        for (int extreme = 0; extreme < 2; ++extreme) {
          EffectRig rig(rate);
          const bool top = extreme == 1;
          rig.Set(VSTCLASS::kParamFilterType, type);
          rig.Set(VSTCLASS::kParamFilterFreq, top ? 20000 : 20);
          rig.Set(VSTCLASS::kParamFilterBandwidth, top ? 100 : 1);
          rig.Set(VSTCLASS::kParamFilterMix, top ? 100 : 0);
          rig.Set(VSTCLASS::kParamEnvAttack, top ? 8000 : 0);
          rig.Set(VSTCLASS::kParamEnvDecay, top ? 8000 : 0);
          rig.Set(VSTCLASS::kParamEnvSustain, top ? 100 : 0);
          rig.Set(VSTCLASS::kParamEnvRelease, top ? 8000 : 0);
          rig.Set(VSTCLASS::kParamEnvDepth, top ? 100 : 0);
          rig.Set(VSTCLASS::kParamEnvDirection, extreme);
          rig.Set(VSTCLASS::kParamEnvVolCompensation, top ? 24 : 0);
          rig.Set(VSTCLASS::kParamEnvCompensation, top ? 2 : 0);
          rig.Set(VSTCLASS::kParamEnvTarget, target);
          std::vector<double> outLeft, outRight;
          for (int block = 0; block < 8; ++block) {
            if (block == 1) rig.NoteOn();
            if (block == 5) rig.NoteOff();
            const std::vector<double> noise = Noise(300, static_cast<unsigned>(block));
            rig.Process(noise, noise, outLeft, outRight);
            for (double x : outLeft)
              ASSERT_TRUE(Clean(x))
                  << rate << " Hz, type " << type << ", target " << static_cast<int>(target);
          }
        }
}

TEST(Processing, ProcessingBeforeTheHostOpenedTheEffectIsSilentNotBroken) {
  VSTCLASS effect(nullptr);
  std::vector<double> input = Noise(512, 11), left(512), right(512);
  double* inputs[2] = {input.data(), input.data()};
  double* outputs[2] = {left.data(), right.data()};
  effect.ProcessBlock(inputs, outputs, 512);
  for (double x : left)
    ASSERT_TRUE(Clean(x));
}

TEST(Processing, TheHostsFloatCallbackReachesTheSameFilter) {
  EffectRig direct, host;
  for (EffectRig* rig : {&direct, &host}) {
    rig->Set(VSTCLASS::kParamFilterType, 0);
    rig->Set(VSTCLASS::kParamFilterFreq, 3000);
    rig->Set(VSTCLASS::kParamEnvTarget, EnvTarget::Bandwidth);
    rig->NoteOn();
  }
  const std::vector<double> noise = Noise(2000, 13);
  std::vector<double> expectedLeft, expectedRight;
  direct.Process(noise, noise, expectedLeft, expectedRight);

  std::vector<float> in(noise.begin(), noise.end()), outLeft(2000), outRight(2000);
  float* inputs[2] = {in.data(), in.data()};
  float* outputs[2] = {outLeft.data(), outRight.data()};
  host.Effect().ProcessHostFloat(inputs, outputs, 2000, false);
  for (std::size_t i = 0; i < in.size(); ++i)
    ASSERT_NEAR(outLeft[i], expectedLeft[i], 1e-5) << i;
  EXPECT_EQ(host.State().envStage, direct.State().envStage);
}

TEST(Processing, TheAudioPathAllocatesNothing) {
  EffectRig rig;
  rig.Set(VSTCLASS::kParamEnvTarget, EnvTarget::Frequency);
  std::vector<double> input = Noise(512, 12), left(512), right(512);
  double* inputs[2] = {input.data(), input.data()};
  double* outputs[2] = {left.data(), right.data()};
  MidiMessage messages[3];
  messages[0].status = 0x90;
  messages[0].data2 = 90;
  messages[1].status = 0xB0;
  messages[2].status = 0x80;
  const auto before = AllocationCount();
  for (int block = 0; block < 100; ++block) {
    rig.Effect().HandleMidi(messages[block % 3]);
    rig.Effect().ProcessBlock(inputs, outputs, 512);
  }
  EXPECT_EQ(AllocationCount(), before);
}

} // namespace

} // namespace quorvane
