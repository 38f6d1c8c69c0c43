#pragma once
// A colour as the editor describes it: four channels 0..255. Drawing calls
// take the packed word (alpha in bits 24-31, red 16-23, green 8-15, blue 0-7).

#include <cstdint>

namespace quorvane {

struct Color {
  std::int32_t a = 0;
  std::int32_t r = 0;
  std::int32_t g = 0;
  std::int32_t b = 0;
};

// Channels outside 0..255 are limited so that one channel never spills into
// its neighbour.
inline std::uint32_t PackColor(const Color& c) {
  auto byte = [](std::int32_t v) -> std::uint32_t {
    return static_cast<std::uint32_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
  };
  return byte(c.a) << 24 | byte(c.r) << 16 | byte(c.g) << 8 | byte(c.b);
}

} // namespace quorvane
