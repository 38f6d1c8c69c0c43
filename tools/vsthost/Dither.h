// Reduces float samples to integers of a given width with TPDF dither (two
// uniform random values, one least significant bit each), so the error is
// noise instead of distortion. Seeded identically on every run, so a render
// is reproducible. Used on the host's main thread.
#pragma once

#include <cstdint>

namespace vsthost {

class Dither {
public:
  explicit Dither(int bits);
  // The sample at `bits` width, left-aligned in 32 bits, clipped to range.
  int32_t Quantise(float sample);

private:
  double Uniform();

  double scale_;
  int shift_;
  uint64_t state_ = 0x853C49E6748FEA9Bull;
};

} // namespace vsthost
