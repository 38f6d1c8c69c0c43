#pragma once
// One cached character of a GlyphFont.

#include <cstdint>

namespace quorvane {

struct GlyphRecord {
  static constexpr std::int32_t kNotRendered = 0;
  static constexpr std::int32_t kNoPixels = -1;

  std::int32_t maskOffset = kNotRendered; // offset into the mask buffer + 1
  std::int32_t width = 0;                 // mask size
  std::int32_t height = 0;
  std::int32_t advance = 0; // pixels to the next character
  std::uint16_t code = 0;
  std::int32_t bearing = 0; // pixels the mask starts before the pen position

  bool HasPixels() const { return maskOffset > 0; }
};

} // namespace quorvane
