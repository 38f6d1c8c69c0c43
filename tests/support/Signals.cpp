#include "tests/support/Signals.h"

#include <random>

namespace quorvane {

std::vector<double> Noise(std::size_t frames, unsigned seed) {
  std::mt19937 generator(seed);
  std::uniform_real_distribution<double> uniform(-1.0, 1.0);
  std::vector<double> samples(frames);
  for (double& s : samples)
    s = uniform(generator);
  return samples;
}

} // namespace quorvane
