// Numbers that stay numbers: every filter type and envelope target, the parameters at their
// extremes, rates from 8 kHz to 384 kHz, and noise, impulses, silence and full-scale square waves
// as input. Output and filter memory must stay finite and never turn subnormal, and a broken
// input sample must not outlive its block.

#include "tests/effect/EffectRig.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <random>

namespace quorvane {

namespace {

constexpr int32_t kBlock = 512;
constexpr double kRates[] = {8000.0, 22050.0, 44100.0, 96000.0, 192000.0, 384000.0};
constexpr EnvTarget kTargets[] = {EnvTarget::None, EnvTarget::Frequency, EnvTarget::Bandwidth,
                                  EnvTarget::Mix};

// Finite, and either exactly zero or a normal number.
bool Clean(double x) {
  return x == 0.0 || (std::isfinite(x) && std::fabs(x) >= DBL_MIN);
}

bool CleanMemory(const FilterMemory& m) {
  return Clean(m.w0) && Clean(m.w1) && Clean(m.w2);
}

enum Signal { kNoise, kImpulse, kSilence, kSquare, kSignalCount };

std::vector<double> Make(Signal signal, int block, double rate) {
  std::vector<double> samples(kBlock, 0.0);
  std::mt19937 generator(static_cast<unsigned>(block) + 1u);
  std::uniform_real_distribution<double> uniform(-1.0, 1.0);
  const int period = std::max(2, static_cast<int>(rate / 1000.0));
  for (int32_t i = 0; i < kBlock; ++i) {
    switch (signal) {
    case kNoise:
      samples[i] = uniform(generator);
      break;
    case kImpulse:
      samples[i] = i == 0 && block % 2 == 0 ? 1.0 : 0.0;
      break;
    case kSquare:
      samples[i] = (block * kBlock + i) % period < period / 2 ? 1.0 : -1.0;
      break;
    default:
      break;
    }
  }
  return samples;
}

// Every parameter at its lowest or highest value; mixed picks alternate ends by index.
void SetExtremes(EffectRig& rig, int pattern) {
  for (int32_t index = VSTCLASS::kParamFilterFreq; index <= VSTCLASS::kParamEnvCompensation;
       ++index) {
    if (index == VSTCLASS::kParamEnvTarget) continue;
    const IParameter& param = *rig.Effect().Param(index);
    bool high = pattern == 1;
    if (pattern >= 2) high = (index % 2 == 0) == (pattern == 2);
    rig.Set(index, high ? param.Maximum() : param.Minimum());
  }
}

TEST(NumericSafety, EveryTypeTargetExtremeRateAndSignalStaysClean) {
  long checked = 0;
  for (double rate : kRates)
    for (int type = 0; type < 3; ++type)
      for (EnvTarget target : kTargets)
        for (int pattern = 0; pattern < 4; ++pattern)
          for (int signal = 0; signal < kSignalCount; ++signal) {
            EffectRig rig(rate);
            rig.Set(VSTCLASS::kParamFilterType, type);
            SetExtremes(rig, pattern);
            rig.Set(VSTCLASS::kParamEnvTarget, target);
            std::vector<double> outLeft, outRight;
            // Note on, held, released, then silence so the memory has to decay cleanly.
            for (int block = 0; block < 8; ++block) {
              if (block == 1) rig.NoteOn();
              if (block == 4) rig.NoteOff();
              const std::vector<double> in =
                  Make(block < 6 ? static_cast<Signal>(signal) : kSilence, block, rate);
              rig.Process(in, in, outLeft, outRight);
              for (int32_t i = 0; i < kBlock; ++i)
                ASSERT_TRUE(Clean(outLeft[i]) && Clean(outRight[i]))
                    << rate << " Hz, type " << type << ", target " << static_cast<int>(target)
                    << ", pattern " << pattern << ", signal " << signal << ", block " << block
                    << ", sample " << i << ": " << outLeft[i];
              const ProcessingState& s = rig.State();
              ASSERT_TRUE(CleanMemory(s.left) && CleanMemory(s.right))
                  << rate << " Hz, type " << type << ", target " << static_cast<int>(target)
                  << ", pattern " << pattern << ", signal " << signal << ", block " << block;
              ASSERT_TRUE(std::isfinite(s.gain) && std::isfinite(s.a1) && std::isfinite(s.a2) &&
                          std::isfinite(s.envLevel));
              checked += 2 * kBlock;
            }
          }
  EXPECT_EQ(checked, 6L * 3 * 4 * 4 * kSignalCount * 8 * 2 * kBlock);
}

TEST(NumericSafety, ABrokenInputSampleIsForgottenWithinOneBlock) {
  const double broken[] = {
      std::numeric_limits<double>::quiet_NaN(), HUGE_VAL, -HUGE_VAL, DBL_MAX, -DBL_MAX, 1e-310};
  for (double rate : {8000.0, 384000.0})
    for (int type = 0; type < 3; ++type)
      for (EnvTarget target : kTargets)
        for (double bad : broken)
          for (int32_t where : {0, kBlock / 2, kBlock - 1}) {
            EffectRig rig(rate);
            rig.Set(VSTCLASS::kParamFilterType, type);
            rig.Set(VSTCLASS::kParamFilterBandwidth, 1);
            rig.Set(VSTCLASS::kParamEnvVolCompensation, 24);
            rig.Set(VSTCLASS::kParamEnvTarget, target);
            rig.NoteOn();
            std::vector<double> in = Make(kSquare, 0, rate), outLeft, outRight;
            in[where] = bad;
            rig.Process(in, in, outLeft, outRight);
            ASSERT_TRUE(CleanMemory(rig.State().left)) << bad;
            rig.Process(Make(kNoise, 1, rate), Make(kNoise, 1, rate), outLeft, outRight);
            for (double x : outLeft)
              ASSERT_TRUE(Clean(x))
                  << rate << " Hz, type " << type << ", target " << static_cast<int>(target)
                  << ", input " << bad << " at " << where;
          }
}

} // namespace

} // namespace quorvane
