#pragma once
// A bitmap backed by a top-down 32-bit DIB section selected into its own
// memory device context, so that GDI can draw into the same pixels the
// raster operations use. The editor's back buffer, and the scratch surfaces
// of native text. Windows only; editor window thread.

#include "raster/RasterBitmap.h"

namespace quorvane {

class DibBitmap final : public RasterBitmap {
public:
  // Largest width or height accepted; bigger sizes leave the bitmap empty.
  static constexpr int kMaxDimension = 1 << 15;

  DibBitmap(int width, int height);
  ~DibBitmap() override;

  std::uint32_t* Pixels() const override { return pixels_; }
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  int RowStride() const override { return allocatedWidth_; }
  // Shrinking keeps the DIB; growing beyond it makes a new one (whose width
  // is rounded up to a multiple of 4 pixels).
  bool Resize(int width, int height) override;
  void* DeviceContext() const override { return dc_; }

private:
  void ReleaseDib();

  void* dc_ = nullptr;       // HDC
  void* dib_ = nullptr;      // HBITMAP
  void* previous_ = nullptr; // HGDIOBJ selected before the DIB
  std::uint32_t* pixels_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  int allocatedWidth_ = 0;
  int allocatedHeight_ = 0;
};

} // namespace quorvane
