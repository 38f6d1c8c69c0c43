#pragma once
// Small helpers for raster tests: bitmaps filled with a word, pixel access by
// picture coordinates, and a bottom-up bitmap to check row direction.

#include "raster/HeapBitmap.h"

#include <cstdint>
#include <memory>

namespace quorvane::test {

inline std::unique_ptr<HeapBitmap> Filled(int width, int height, std::uint32_t word) {
  auto bitmap = std::make_unique<HeapBitmap>(width, height, 4);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      bitmap->Pixels()[y * bitmap->RowStride() + x] = word;
  return bitmap;
}

inline std::uint32_t& At(const RasterBitmap& bitmap, int x, int y) {
  const int row = bitmap.IsBottomUp() ? bitmap.Height() - 1 - y : y;
  return bitmap.Pixels()[row * bitmap.RowStride() + x];
}

// Each pixel gets a distinct word from its position.
inline void Number(RasterBitmap& bitmap) {
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x)
      At(bitmap, x, y) = 0xFF000000u | std::uint32_t(y) << 8 | std::uint32_t(x);
}

// Rows stored bottom-up in a heap buffer.
class BottomUpBitmap final : public RasterBitmap {
public:
  BottomUpBitmap(int width, int height) : inner_(width, height, 1) {}
  std::uint32_t* Pixels() const override { return inner_.Pixels(); }
  int Width() const override { return inner_.Width(); }
  int Height() const override { return inner_.Height(); }
  int RowStride() const override { return inner_.RowStride(); }
  bool IsBottomUp() const override { return true; }
  bool Resize(int width, int height) override { return inner_.Resize(width, height); }

private:
  HeapBitmap inner_;
};

} // namespace quorvane::test
