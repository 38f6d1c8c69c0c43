#pragma once
// A bitmap in plain heap memory: decoded images, cropped knob frames and
// scratch surfaces. Rows are padded to the row alignment and the first pixel
// is 64-byte aligned; the buffer grows by a quarter beyond a request so that
// repeated growth does not reallocate every time, and never shrinks except
// when emptied.

#include "raster/RasterBitmap.h"

#include <cstddef>
#include <cstdint>

namespace quorvane {

class HeapBitmap final : public RasterBitmap {
public:
  // Largest width or height, and largest buffer, that Resize accepts; bigger
  // requests behave like a failed allocation (the bitmap ends up empty).
  static constexpr int kMaxDimension = 1 << 20;
  static constexpr std::size_t kMaxBytes = std::size_t{1} << 30;

  // alignment: row alignment in pixels (the editor uses 4); only its lowest
  // set bit counts, limited to 16.
  HeapBitmap(int width, int height, int alignment);
  ~HeapBitmap() override;

  std::uint32_t* Pixels() const override;
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  int RowStride() const override { return StrideFor(width_); }
  bool Resize(int width, int height) override;

  std::size_t Capacity() const { return capacity_; }

private:
  int StrideFor(int width) const;
  void Release();

  void* buffer_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  std::size_t capacity_ = 0;
  int alignMask_ = 0;
};

} // namespace quorvane
