#pragma once
// The batched design in AVX, four designs per operation, for processors
// that have it; BatchDesign chooses it at run time. Its file alone is compiled
// for those instructions, so nothing here may run before that choice.
// Audio thread; allocation-free.

#include "effect/dsp/BatchDesign.h"

namespace quorvane {

namespace wide {

void FrequencySweep(FilterKind kind, const float* freq, float bandwidth, double rate, int count,
                    const CoefficientArrays& out) noexcept;
void BandwidthSweep(FilterKind kind, float freq, const float* bandwidth, double rate, int count,
                    const CoefficientArrays& out) noexcept;

} // namespace wide
} // namespace quorvane
