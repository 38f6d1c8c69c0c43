#include "Dither.h"

#include <algorithm>
#include <cmath>

namespace vsthost {

Dither::Dither(int bits) : scale_(std::ldexp(1.0, bits - 1)), shift_(32 - bits) {}

double Dither::Uniform() {
  // xorshift64*: cheap, and the same sequence everywhere.
  state_ ^= state_ >> 12;
  state_ ^= state_ << 25;
  state_ ^= state_ >> 27;
  return static_cast<double>((state_ * 0x2545F4914F6CDD1Dull) >> 11) * 0x1.0p-53;
}

int32_t Dither::Quantise(float sample) {
  const double noise = shift_ > 0 ? Uniform() - Uniform() : 0.0;
  const double value = std::floor(static_cast<double>(sample) * scale_ + noise + 0.5);
  if (std::isnan(value)) return 0;
  const double clipped = std::clamp(value, -scale_, scale_ - 1.0);
  return static_cast<int32_t>(static_cast<int64_t>(clipped) * (int64_t{1} << shift_));
}

} // namespace vsthost
