#pragma once
// The section's design for a run of frames at once, for the envelope's
// sweeps: two designs per SSE2 operation, the cotangent from a rational
// approximation and one division per design. The clamps are DesignFilter's;
// the coefficients agree with it to about 1e-14. Pure function,
// allocation-free; the audio thread calls it.

#include "effect/FilterDesign.h"

namespace quorvane {

// Per-frame coefficient arrays, each with room for count values.
struct CoefficientArrays {
  double* gain;
  double* a1;
  double* a2;
};

// Designs filterType's section for frame i at freq[i] Hz and bandwidth[i]
// for rate Hz, i from 0 to count - 1.
void DesignSections(int filterType, const float* freq, const float* bandwidth, double rate,
                    int count, const CoefficientArrays& out) noexcept;

} // namespace quorvane
