#pragma once
// A rectangle in editor pixels: origin top left, y downwards, half-open
// (left <= x < right, top <= y < bottom). Plain record shared by the raster
// library and the editor.

#include <cstdint>

namespace quorvane {

struct Rect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
};

} // namespace quorvane
