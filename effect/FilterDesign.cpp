#include "effect/FilterDesign.h"

#include <cmath>

namespace quorvane {

namespace {

constexpr double kPi = 3.141592653589793;

} // namespace

bool IsUsableRate(double rate) noexcept {
  return std::isfinite(rate) && rate > 0.0;
}

FilterCoefficients DesignFilter(FilterKind kind, float freq, float bandwidth,
                                double rate) noexcept {
  if (!IsUsableRate(rate)) rate = kFallbackDesignRate;

  // The damping is formed in single precision, like the control values it
  // comes from; everything after it is double.
  double q = static_cast<double>(bandwidth * kDampingPerBandwidth);
  if (!(q >= kLowestDamping)) q = kLowestDamping;

  double hz = static_cast<double>(freq);
  const double highest = rate * kHighestDesignRatio;
  if (!(hz >= kLowestDesignHz)) hz = kLowestDesignHz;
  if (hz > highest) hz = highest;

  const double w = hz / rate * kPi;
  const double k = 1.0 / std::tan(w);
  const double r = 1.0 / ((q + k) * k + 1.0);

  FilterCoefficients c;
  c.a1 = (1.0 - k * k) * r * 2.0;
  c.a2 = ((k - q) * k + 1.0) * r;
  c.gain = kind == FilterKind::Bandpass ? q * r * k : r;
  return c;
}

} // namespace quorvane
