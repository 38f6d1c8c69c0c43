#pragma once

// Coefficient design of the effect's second-order recursive section.
//
// The section is the bilinear transform, with prewarping, of the analogue
// prototype s^2 + q s + 1; per channel it runs
//   w0 = gain * in - (a2 * w2 + a1 * w1)
// with the lowpass output w0 + 2 w1 + w2, the bandpass output w0 - w2 and
// the highpass output in minus the lowpass output. Pure functions; safe on
// any thread, allocation-free.

#include <cstdint>

namespace quorvane {

enum class FilterKind : int32_t { Lowpass = 0, Highpass = 1, Bandpass = 2 };

struct FilterCoefficients {
  double gain;
  double a1;
  double a2;
};

// The design frequency is kept to at most this fraction of the rate: at and
// above half the rate the prewarped tangent is infinite or negative and the
// section would be unstable.
static constexpr double kHighestDesignRatio = 0.49;
static constexpr double kLowestDesignHz = 1.0;
// Used when the rate is not a finite positive number, so a rate the host
// never set (or set to nonsense) still designs a stable section.
static constexpr double kFallbackDesignRate = 44100.0;
// The damping q is the bandwidth fraction times this, formed in single precision.
static constexpr float kDampingPerBandwidth = 15.0f;
// Keeps the damping, and with it the pole radius, away from the unit circle
// should a bandwidth of zero or less ever reach the design.
static constexpr double kLowestDamping = 1e-3;

// Designs gain, a1, a2 for kind at
// freq Hz with bandwidth fraction (damping q = bandwidth * 15) for rate Hz.
FilterCoefficients DesignFilter(FilterKind kind, float freq, float bandwidth, double rate) noexcept;

// True for a sample rate the design and the envelope steps can use.
bool IsUsableRate(double rate) noexcept;

} // namespace quorvane
