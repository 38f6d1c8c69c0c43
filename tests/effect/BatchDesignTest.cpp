// The batched design against the exact one, over the whole range the envelope
// can sweep, at the rates the effect supports, and at its clamps.

#include "effect/dsp/BatchDesign.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace quorvane {
namespace {

// Relative to the coefficient, or to 1 for the feedback ones: a1 passes
// through zero at a quarter of the rate.
double Error(double value, double exact, double scale) {
  return exact == value ? 0.0 : std::fabs(value - exact) / std::max(std::fabs(exact), scale);
}

struct Designed {
  explicit Designed(std::size_t n) : gain(n), a1(n), a2(n) {}
  std::vector<double> gain, a1, a2;
};

// Designs each frequency at each bandwidth, sweeping one while the other
// holds, both ways; answers the worst error against the exact design.
double WorstError(DesignUnits units, FilterKind type, double rate, const std::vector<float>& freq,
                  const std::vector<float>& bandwidth) {
  double worst = 0.0;
  const int nf = static_cast<int>(freq.size()), nb = static_cast<int>(bandwidth.size());
  for (float b : bandwidth) {
    Designed d(freq.size());
    DesignFrequencySweep(type, freq.data(), b, rate, nf, {d.gain.data(), d.a1.data(), d.a2.data()},
                         units);
    for (int i = 0; i < nf; ++i) {
      const FilterCoefficients c = DesignFilter(type, freq[i], b, rate);
      worst = std::max({worst, Error(d.gain[i], c.gain, 0.0), Error(d.a1[i], c.a1, 1.0),
                        Error(d.a2[i], c.a2, 1.0)});
    }
  }
  for (float f : freq) {
    Designed d(bandwidth.size());
    DesignBandwidthSweep(type, f, bandwidth.data(), rate, nb,
                         {d.gain.data(), d.a1.data(), d.a2.data()}, units);
    for (int i = 0; i < nb; ++i) {
      const FilterCoefficients c = DesignFilter(type, f, bandwidth[i], rate);
      worst = std::max({worst, Error(d.gain[i], c.gain, 0.0), Error(d.a1[i], c.a1, 1.0),
                        Error(d.a2[i], c.a2, 1.0)});
    }
  }
  return worst;
}

// The widest units this processor has, and the SSE2 baseline beside them.
class BatchDesign : public testing::TestWithParam<DesignUnits> {};

TEST_P(BatchDesign, AgreesWithTheExactDesignOverTheSweptRange) {
  std::vector<float> freq, bandwidth;
  for (float f = 1.0f; f <= 40000.0f; f *= 1.07f)
    freq.push_back(f);
  freq.push_back(123.0f); // an odd count leaves a last design on its own
  for (float b = 0.0001f; b <= 1.0f; b *= 1.5f)
    bandwidth.push_back(b);
  bandwidth.push_back(1.0f);
  for (double rate : {8000.0, 44100.0, 96000.0, 384000.0})
    for (FilterKind type : {FilterKind::Lowpass, FilterKind::Highpass, FilterKind::Bandpass})
      EXPECT_LT(WorstError(GetParam(), type, rate, freq, bandwidth), 2e-14)
          << rate << " Hz, type " << static_cast<int>(type);
}

TEST_P(BatchDesign, ClampsAsTheExactDesignDoes) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const std::vector<float> freq = {0.0f, -5.0f, nan, 30000.0f, 1e30f, 2000.0f};
  const std::vector<float> bandwidth = {0.2f, 0.0f, -1.0f, nan};
  for (double rate : {44100.0, 8000.0, 0.0, -1.0, std::nan("")})
    EXPECT_LT(WorstError(GetParam(), FilterKind::Bandpass, rate, freq, bandwidth), 2e-14) << rate;
}

// Renders must not depend on the processor they were made on.
TEST(BatchDesignUnits, GiveTheSameBits) {
  std::vector<float> sweep;
  for (float x = 0.5f; x <= 30000.0f; x *= 1.013f)
    sweep.push_back(x);
  const int n = static_cast<int>(sweep.size());
  for (FilterKind type : {FilterKind::Lowpass, FilterKind::Bandpass}) {
    Designed wide(sweep.size()), base(sweep.size());
    DesignFrequencySweep(type, sweep.data(), 0.3f, 96000.0, n,
                         {wide.gain.data(), wide.a1.data(), wide.a2.data()});
    DesignFrequencySweep(type, sweep.data(), 0.3f, 96000.0, n,
                         {base.gain.data(), base.a1.data(), base.a2.data()}, DesignUnits::Baseline);
    EXPECT_EQ(wide.gain, base.gain);
    EXPECT_EQ(wide.a2, base.a2);
    std::vector<float> bandwidth(sweep.size());
    for (std::size_t i = 0; i < sweep.size(); ++i)
      bandwidth[i] = sweep[i] / 30000.0f;
    DesignBandwidthSweep(type, 5000.0f, bandwidth.data(), 96000.0, n,
                         {wide.gain.data(), wide.a1.data(), wide.a2.data()});
    DesignBandwidthSweep(type, 5000.0f, bandwidth.data(), 96000.0, n,
                         {base.gain.data(), base.a1.data(), base.a2.data()}, DesignUnits::Baseline);
    EXPECT_EQ(wide.a1, base.a1);
    EXPECT_EQ(wide.gain, base.gain);
  }
}

INSTANTIATE_TEST_SUITE_P(Units, BatchDesign,
                         testing::Values(DesignUnits::Widest, DesignUnits::Baseline));

} // namespace
} // namespace quorvane
