#pragma once
// A checked view of a bitmap's pixels: row addressing that honours
// IsBottomUp, and an empty view for bitmaps that cannot be drawn on (missing,
// no pixels, non-positive size, a row stride shorter than a row).

#include "raster/RasterBitmap.h"

#include <cstddef>
#include <cstdint>

namespace quorvane::internal {

struct PixelView {
  std::uint32_t* origin = nullptr; // row 0 of the picture
  std::ptrdiff_t step = 0;         // pixels from one picture row to the next
  int width = 0;
  int height = 0;

  bool Empty() const { return origin == nullptr; }
  std::uint32_t* Row(int y) const { return origin + step * y; }
};

inline PixelView ViewOf(const RasterBitmap* bitmap) {
  PixelView view;
  if (bitmap == nullptr) return view;
  std::uint32_t* pixels = bitmap->Pixels();
  const int width = bitmap->Width();
  const int height = bitmap->Height();
  const int stride = bitmap->RowStride();
  if (pixels == nullptr || width <= 0 || height <= 0 || stride < width) return view;
  view.width = width;
  view.height = height;
  if (bitmap->IsBottomUp()) {
    view.origin = pixels + std::ptrdiff_t(height - 1) * stride;
    view.step = -std::ptrdiff_t(stride);
  } else {
    view.origin = pixels;
    view.step = stride;
  }
  return view;
}

} // namespace quorvane::internal
