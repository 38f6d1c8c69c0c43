#pragma once
// A non-owning reference to a bitmap of the process-wide bitmap cache, with
// the number of equal frames it holds (stacked vertically or side by side).
// An empty reference (no bitmap, 0 x 0) is what a failed load yields; every
// drawing operation ignores it.

#include <cstdint>

namespace quorvane {

class RasterBitmap;

struct BitmapRef {
  RasterBitmap* bitmap = nullptr;
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::int32_t frames = 1; // always at least 1, so frame sizes can be divided out

  BitmapRef() = default;
  BitmapRef(RasterBitmap* source, std::int32_t w, std::int32_t h, std::int32_t frameCount)
      : bitmap(source), width(w), height(h), frames(frameCount < 1 ? 1 : frameCount) {}

  bool IsEmpty() const { return bitmap == nullptr || width <= 0 || height <= 0; }
};

} // namespace quorvane
