#pragma once
// The abstract 32-bit bitmap every raster operation works on. One word per
// pixel, 0xAARRGGBB (bytes blue, green, red, alpha in memory), straight alpha.
// Bitmaps are created and drawn on the editor window's thread.

#include <cstdint>

namespace quorvane {

class RasterBitmap {
public:
  RasterBitmap() = default;
  RasterBitmap(const RasterBitmap&) = delete;
  RasterBitmap& operator=(const RasterBitmap&) = delete;
  virtual ~RasterBitmap();

  // Address of pixel (0, 0), or null when the bitmap holds no pixels.
  virtual std::uint32_t* Pixels() const = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  // Pixels from the start of one row to the start of the next (>= Width).
  virtual int RowStride() const = 0;
  // True when row y lies at memory row Height - 1 - y.
  virtual bool IsBottomUp() const;
  // True when the size changed. Pixel contents afterwards are undefined.
  virtual bool Resize(int width, int height) = 0;
  // The platform device context (an HDC on Windows), or null.
  virtual void* DeviceContext() const;
  // Optional capabilities; 0 means not supported.
  virtual std::intptr_t QueryExtension(std::int32_t id, std::intptr_t argument) const;
};

} // namespace quorvane
