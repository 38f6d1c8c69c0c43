#pragma once
// The section's design for a run of frames at once, for the envelope's
// sweeps of the frequency or the bandwidth: two designs per SSE2 operation
// (four per AVX one where the processor has it, to the same bits), the
// cotangent from a rational approximation, one division per design. The
// clamps are DesignFilter's; the coefficients agree with it to about 1e-14.
// Pure functions, allocation-free; the audio thread calls them.

#include "effect/FilterDesign.h"

namespace quorvane {

// Per-frame coefficient arrays, each with room for count values.
struct CoefficientArrays {
  double* gain;
  double* a1;
  double* a2;
};

// Which instructions the designs use: the widest this processor has (AVX
// where present), or the SSE2 every x86-64 has. Both give the same bits.
enum class DesignUnits { Widest, Baseline };

// Designs kind's section for frame i at freq[i] Hz, i from 0 to
// count - 1, all at one bandwidth, for rate Hz.
void DesignFrequencySweep(FilterKind kind, const float* freq, float bandwidth, double rate,
                          int count, const CoefficientArrays& out,
                          DesignUnits units = DesignUnits::Widest) noexcept;

// The same at one frequency for bandwidth[i].
void DesignBandwidthSweep(FilterKind kind, float freq, const float* bandwidth, double rate,
                          int count, const CoefficientArrays& out,
                          DesignUnits units = DesignUnits::Widest) noexcept;

} // namespace quorvane
