// The coefficient design, in exact numbers and in the properties a listener relies on.

#include "effect/FilterDesign.h"
#include "tests/effect/EffectRig.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>

namespace quorvane {

namespace {

// Largest pole radius of 1 + a1 z^-1 + a2 z^-2.
double PoleRadius(const FilterCoefficients& c) {
  const std::complex<double> root = std::sqrt(std::complex<double>(c.a1 * c.a1 - 4.0 * c.a2));
  return std::max(std::abs((-c.a1 + root) / 2.0), std::abs((-c.a1 - root) / 2.0));
}

TEST(FilterDesign, LowpassAt2kHzHasTheKnownCoefficients) {
  EffectRig rig(44100.0);
  rig.Set(VSTCLASS::kParamFilterType, 0);
  rig.Set(VSTCLASS::kParamFilterFreq, 2000);
  rig.Set(VSTCLASS::kParamFilterBandwidth, 20);
  const ProcessingState& s = rig.State();
  EXPECT_EQ(s.bandwidth, 0.19999998807907104f);
  EXPECT_EQ(s.gain, 0.014182218119770941);
  EXPECT_EQ(s.a1, -1.3500706884523692);
  EXPECT_EQ(s.a2, 0.4067995609314529);
}

TEST(FilterDesign, BandpassIsUnityAtItsCentre) {
  const float bandwidth = 20 * 0.01f;
  const FilterCoefficients c = DesignFilter(FilterKind::Bandpass, 2000.0f, bandwidth, 44100.0);
  auto at = [&](double f) {
    return AnalyticMagnitude(FilterKind::Bandpass, c.gain, c.a1, c.a2, f, 44100.0);
  };
  EXPECT_NEAR(at(2000.0), 1.0, 1e-12);
  EXPECT_NEAR(at(200.0), 0.288, 0.0005);
  EXPECT_NEAR(at(8000.0), 0.577, 0.0005);

  for (int percent : {1, 5, 20, 60, 100})
    for (double f : {50.0, 1000.0, 15000.0}) {
      const FilterCoefficients d = DesignFilter(FilterKind::Bandpass, static_cast<float>(f),
                                                static_cast<float>(percent) * 0.01f, 48000.0);
      EXPECT_NEAR(AnalyticMagnitude(FilterKind::Bandpass, d.gain, d.a1, d.a2, f, 48000.0), 1.0,
                  1e-9)
          << percent << "% at " << f;
    }
}

TEST(FilterDesign, LowpassPassesDcAndHighpassPassesNyquist) {
  for (int percent = 1; percent <= 100; ++percent)
    for (float f : {20.0f, 2000.0f, 20000.0f}) {
      const FilterCoefficients c =
          DesignFilter(FilterKind::Lowpass, f, static_cast<float>(percent) * 0.01f, 44100.0);
      const double dc = c.gain * 4.0 / (1.0 + c.a1 + c.a2);
      EXPECT_NEAR(dc, 1.0, 1e-9) << percent << "% at " << f;
      EXPECT_NEAR(AnalyticMagnitude(FilterKind::Highpass, c.gain, c.a1, c.a2, 22050.0, 44100.0),
                  1.0, 1e-9);
    }
}

TEST(FilterDesign, ResonanceFollowsTheDamping) {
  // Lowpass gain 1/q at the corner; there the highpass complement is slightly above 1.
  const FilterCoefficients c = DesignFilter(FilterKind::Lowpass, 1000.0f, 20 * 0.01f, 44100.0);
  EXPECT_NEAR(AnalyticMagnitude(FilterKind::Lowpass, c.gain, c.a1, c.a2, 1000.0, 44100.0),
              1.0 / 3.0, 1e-6);
  EXPECT_NEAR(AnalyticMagnitude(FilterKind::Highpass, c.gain, c.a1, c.a2, 1000.0, 44100.0), 1.054,
              0.0005);

  const FilterCoefficients sharp = DesignFilter(FilterKind::Lowpass, 1000.0f, 0.01f, 44100.0);
  EXPECT_NEAR(
      AnalyticMagnitude(FilterKind::Lowpass, sharp.gain, sharp.a1, sharp.a2, 1000.0, 44100.0),
      1.0 / (0.01f * 15.0f), 1e-4);
}

TEST(FilterDesign, StaysStableUpToAndBeyondHalfTheRate) {
  for (double rate : {8000.0, 11025.0, 22050.0, 32000.0, 40000.0, 44100.0, 384000.0})
    for (int type = 0; type < 3; ++type)
      for (float f : {20.0f, 3999.0f, 4000.0f, 5000.0f, 16000.0f, 20000.0f, 1e9f})
        for (float bandwidth : {0.0099999998f, 0.2f, 1.0f}) {
          const FilterCoefficients c =
              DesignFilter(static_cast<FilterKind>(type), f, bandwidth, rate);
          ASSERT_TRUE(std::isfinite(c.gain) && std::isfinite(c.a1) && std::isfinite(c.a2));
          EXPECT_LT(PoleRadius(c), 1.0) << rate << " Hz, type " << type << ", " << f << " Hz";
        }
}

TEST(FilterDesign, FrequenciesAboveTheLimitDesignTheLimit) {
  // At 8 kHz every frequency from 3920 Hz up gives the same section.
  const FilterCoefficients limit = DesignFilter(FilterKind::Bandpass, 3920.0f, 0.2f, 8000.0);
  for (float f : {4000.0f, 8000.0f, 20000.0f}) {
    const FilterCoefficients c = DesignFilter(FilterKind::Bandpass, f, 0.2f, 8000.0);
    EXPECT_EQ(c.gain, limit.gain);
    EXPECT_EQ(c.a1, limit.a1);
    EXPECT_EQ(c.a2, limit.a2);
  }
  // Below the limit nothing is changed.
  const FilterCoefficients below = DesignFilter(FilterKind::Bandpass, 3900.0f, 0.2f, 8000.0);
  EXPECT_NE(below.a1, limit.a1);
}

TEST(FilterDesign, AnUnusableRateDesignsForTheFallbackRate) {
  const FilterCoefficients fallback = DesignFilter(FilterKind::Lowpass, 2000.0f, 0.2f, 44100.0);
  for (double rate : {0.0, -48000.0, std::nan(""), HUGE_VAL}) {
    const FilterCoefficients c = DesignFilter(FilterKind::Lowpass, 2000.0f, 0.2f, rate);
    EXPECT_EQ(c.gain, fallback.gain) << rate;
    EXPECT_EQ(c.a1, fallback.a1) << rate;
    EXPECT_EQ(c.a2, fallback.a2) << rate;
  }
  // A frequency or bandwidth that is no number still designs a stable section.
  for (const FilterCoefficients& c : {DesignFilter(FilterKind::Lowpass, NAN, 0.2f, 44100.0),
                                      DesignFilter(FilterKind::Lowpass, 2000.0f, NAN, 44100.0),
                                      DesignFilter(FilterKind::Lowpass, -5.0f, -1.0f, 44100.0)})
    EXPECT_LT(PoleRadius(c), 1.0);
}

TEST(FilterDesign, TheEffectDesignsBeforeAnyRateIsKnown) {
  // Opened but never given a rate or a block: designRate is still 0.
  VSTCLASS effect(nullptr);
  effect.AnnounceAllParams();
  EXPECT_EQ(effect.State().designRate, 0.0);
  EXPECT_TRUE(std::isfinite(effect.State().gain));
  EXPECT_TRUE(std::isfinite(effect.State().a1));
  EXPECT_TRUE(std::isfinite(effect.State().a2));
  EXPECT_TRUE(std::isfinite(effect.State().attackStep));
  EXPECT_TRUE(std::isfinite(effect.State().decayStep));
  EXPECT_TRUE(std::isfinite(effect.State().releaseStep));
}

} // namespace

} // namespace quorvane
