#pragma once
// The envelope's straight segments in AVX, four levels per operation, for
// processors that have it; the envelope chooses it when WideUnitsPresent().
// Its file alone is compiled for those instructions. Audio thread;
// allocation-free.

namespace quorvane {
namespace wide {

// Levels start + 1 * step, start + 2 * step, ... into levels, eight at a
// time while none of the eight ends the segment (reaches limit when rising,
// falls to it otherwise); answers how many it wrote. Every sum must be
// exact, as the envelope makes sure.
int RampLevels(double start, double step, bool rising, double limit, float* levels,
               int count) noexcept;

} // namespace wide
} // namespace quorvane
