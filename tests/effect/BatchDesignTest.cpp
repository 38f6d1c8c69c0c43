// The batched design against the exact one, over the whole range the envelope
// can sweep, at the rates the effect supports, and at its clamps.

#include "effect/dsp/BatchDesign.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

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

// Designs freq x bandwidth pairs in one batch; answers the worst relative error.
double WorstError(int type, double rate, const std::vector<float>& freq,
                  const std::vector<float>& bandwidth) {
  Designed d(freq.size());
  quorvane::DesignSections(type, freq.data(), bandwidth.data(), rate, static_cast<int>(freq.size()),
                           {d.gain.data(), d.a1.data(), d.a2.data()});
  double worst = 0.0;
  for (std::size_t i = 0; i < freq.size(); ++i) {
    const FilterCoefficients c = DesignFilter(type, freq[i], bandwidth[i], rate);
    worst = std::max({worst, Error(d.gain[i], c.gain, 0.0), Error(d.a1[i], c.a1, 1.0),
                      Error(d.a2[i], c.a2, 1.0)});
  }
  return worst;
}

TEST(BatchDesign, AgreesWithTheExactDesignOverTheSweptRange) {
  std::vector<float> freq, bandwidth;
  for (float f = 1.0f; f <= 40000.0f; f *= 1.013f)
    for (float b : {0.0001f, 0.01f, 0.2f, 0.5f, 1.0f}) {
      freq.push_back(f);
      bandwidth.push_back(b);
    }
  freq.push_back(123.0f); // an odd count leaves a last design on its own
  bandwidth.push_back(0.3f);
  for (double rate : {8000.0, 44100.0, 96000.0, 384000.0})
    for (int type : {kFilterLowpass, kFilterHighpass, kFilterBandpass})
      EXPECT_LT(WorstError(type, rate, freq, bandwidth), 2e-14) << rate << " Hz, type " << type;
}

TEST(BatchDesign, ClampsAsTheExactDesignDoes) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const std::vector<float> freq = {0.0f, -5.0f, nan, 30000.0f, 1e30f, 2000.0f, 2000.0f, 2000.0f};
  const std::vector<float> bandwidth = {0.2f, 0.2f, 0.2f, 0.2f, 0.2f, 0.0f, -1.0f, nan};
  for (double rate : {44100.0, 8000.0, 0.0, -1.0, std::nan("")})
    EXPECT_LT(WorstError(kFilterBandpass, rate, freq, bandwidth), 2e-14) << rate;
}

} // namespace
