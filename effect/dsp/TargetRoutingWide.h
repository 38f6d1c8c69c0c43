#pragma once
// The mix target's routing in AVX, eight values per operation, for
// processors that have it; TargetRouting chooses it when WideUnitsPresent().
// Its file alone is compiled for those instructions. Audio thread;
// allocation-free.

#include "effect/dsp/TargetRouting.h"

namespace quorvane {
namespace wide {

// TargetRouting::Mix, with what the routing knows of its range's span.
void RouteMix(const TargetRouting& routing, bool spanIsPowerOfTwo, const float* levels, int frames,
              float* wets, float* drys, float* factors) noexcept;

} // namespace wide
} // namespace quorvane
