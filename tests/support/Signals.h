// Test signals for every test folder. Pure functions, callable from any thread.
#pragma once

#include <cstddef>
#include <vector>

namespace quorvane {

// Uniform noise in -1 .. 1, the same for the same seed.
std::vector<double> Noise(std::size_t frames, unsigned seed);

} // namespace quorvane
