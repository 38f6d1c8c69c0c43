// The filter as a listener measures it: impulse responses taken through
// ProcessBlock, compared with the section's z-transform.

#include "tests/effect/EffectRig.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>

namespace quorvane {

namespace {

constexpr std::size_t kResponseLength = 1 << 17;

std::vector<double> ImpulseResponse(EffectRig& rig) {
  std::vector<double> impulse(kResponseLength, 0.0);
  impulse[0] = 1.0;
  std::vector<double> left, right;
  rig.Process(impulse, impulse, left, right);
  EXPECT_EQ(left, right);
  return left;
}

double Decibels(double magnitude) {
  return 20.0 * std::log10(magnitude);
}

struct Case {
  double rate;
  int type;
  int freq;
  int bandwidth;
};

void PrintTo(const Case& c, std::ostream* out) {
  *out << c.rate << " Hz, type " << c.type << ", " << c.freq << " Hz, " << c.bandwidth << "%";
}

class MeasuredResponse : public testing::TestWithParam<Case> {};

TEST_P(MeasuredResponse, MatchesTheZTransformWithinATenthOfADecibel) {
  const Case c = GetParam();
  EffectRig rig(c.rate);
  rig.Set(VSTCLASS::kParamFilterType, c.type);
  rig.Set(VSTCLASS::kParamFilterFreq, c.freq);
  rig.Set(VSTCLASS::kParamFilterBandwidth, c.bandwidth);
  rig.Set(VSTCLASS::kParamFilterMix, 100);
  const std::vector<double> response = ImpulseResponse(rig);
  const ProcessingState& s = rig.State();

  // 24 points a decade from 20 Hz to 0.45 times the rate.
  const double top = 0.45 * c.rate;
  for (double f = 20.0; f <= top; f *= std::pow(10.0, 1.0 / 24.0)) {
    const double expected =
        AnalyticMagnitude(static_cast<FilterKind>(c.type), s.gain, s.a1, s.a2, f, c.rate);
    const double measured = MeasuredMagnitude(response, f, c.rate);
    ASSERT_NEAR(Decibels(measured), Decibels(expected), 0.1) << f << " Hz";
  }
  const double expectedTop =
      AnalyticMagnitude(static_cast<FilterKind>(c.type), s.gain, s.a1, s.a2, top, c.rate);
  EXPECT_NEAR(Decibels(MeasuredMagnitude(response, top, c.rate)), Decibels(expectedTop), 0.1);
}

INSTANTIATE_TEST_SUITE_P(
    EveryType, MeasuredResponse,
    testing::Values(Case{44100, 0, 2000, 20}, Case{44100, 1, 2000, 20}, Case{44100, 2, 2000, 20},
                    Case{44100, 0, 200, 1}, Case{44100, 1, 200, 1}, Case{44100, 2, 200, 1},
                    Case{48000, 0, 8000, 100}, Case{48000, 1, 8000, 100}, Case{48000, 2, 8000, 100},
                    Case{96000, 0, 500, 5}, Case{96000, 1, 15000, 50}, Case{96000, 2, 20000, 12},
                    Case{8000, 0, 20000, 20}, Case{8000, 1, 3000, 20}, Case{8000, 2, 1000, 30}));

TEST(MeasuredResponse, BandwidthWidensTheBandpass) {
  // Half-power width in octaves grows with Filter Bandwidth.
  double previousWidth = 0.0;
  for (int bandwidth : {5, 12, 25, 50}) {
    EffectRig rig(44100.0);
    rig.Set(VSTCLASS::kParamFilterType, 2);
    rig.Set(VSTCLASS::kParamFilterFreq, 2000);
    rig.Set(VSTCLASS::kParamFilterBandwidth, bandwidth);
    std::vector<double> response = ImpulseResponse(rig);
    response.resize(16384); // long decayed to nothing at 2 kHz
    double low = 2000.0, high = 2000.0;
    while (MeasuredMagnitude(response, low, 44100.0) > std::sqrt(0.5))
      low /= 1.005;
    while (MeasuredMagnitude(response, high, 44100.0) > std::sqrt(0.5))
      high *= 1.005;
    const double width = std::log2(high / low);
    EXPECT_GT(width, previousWidth) << bandwidth;
    previousWidth = width;
  }
}

TEST(MeasuredResponse, MixBlendsFilteredAndDrySignal) {
  // At the bandpass centre the filtered part is in phase with the input, so
  // any mix gives unity there; far below it (where the bandpass is 0.0149 and
  // a quarter turn ahead) the level falls to about the dry share.
  for (int mix : {0, 25, 50, 100}) {
    EffectRig rig(44100.0);
    rig.Set(VSTCLASS::kParamFilterType, 2);
    rig.Set(VSTCLASS::kParamFilterFreq, 2000);
    rig.Set(VSTCLASS::kParamFilterBandwidth, 10);
    rig.Set(VSTCLASS::kParamFilterMix, mix);
    const std::vector<double> response = ImpulseResponse(rig);
    EXPECT_NEAR(MeasuredMagnitude(response, 2000.0, 44100.0), 1.0, 1e-6) << mix;
    const double wet = mix / 100.0, dry = 1.0 - wet;
    EXPECT_NEAR(MeasuredMagnitude(response, 20.0, 44100.0),
                std::sqrt(dry * dry + 0.0149 * 0.0149 * wet * wet), 0.0002)
        << mix;
  }
}

} // namespace

} // namespace quorvane
