#pragma once
// Whole-word blends of a run of pixels with one colour word, for the weights
// a copy can do with shifts and masks alone: 256, 192, 128 and 64 (of 256).

#include <cstdint>

namespace quorvane::internal {

// Returns false when w is not one of those weights.
inline bool FillRunWords(std::uint32_t* p, int count, std::uint32_t k, int w) {
  switch (w) {
  case 256:
    for (int i = 0; i < count; ++i)
      p[i] = k;
    return true;
  case 192: {
    const std::uint32_t kk = ((k >> 1) & 0x7F7F7F7Fu) + ((k >> 2) & 0x3F3F3F3Fu);
    for (int i = 0; i < count; ++i)
      p[i] = kk + ((p[i] >> 2) & 0x3F3F3F3Fu);
    return true;
  }
  case 128: {
    const std::uint32_t kk = (k >> 1) & 0x7F7F7F7Fu;
    for (int i = 0; i < count; ++i)
      p[i] = kk + ((p[i] >> 1) & 0x7F7F7F7Fu);
    return true;
  }
  case 64: {
    const std::uint32_t kk = (k >> 2) & 0x3F3F3F3Fu;
    for (int i = 0; i < count; ++i)
      p[i] = ((p[i] >> 1) & 0x7F7F7F7Fu) + ((p[i] >> 2) & 0x3F3F3F3Fu) + kk;
    return true;
  }
  default:
    return false;
  }
}

} // namespace quorvane::internal
