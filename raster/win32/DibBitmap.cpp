#include "raster/win32/DibBitmap.h"

#include <windows.h>

namespace quorvane {

DibBitmap::DibBitmap(int width, int height) {
  dc_ = CreateCompatibleDC(nullptr);
  Resize(width, height);
}

DibBitmap::~DibBitmap() {
  ReleaseDib();
  if (dc_ != nullptr) DeleteDC(static_cast<HDC>(dc_));
}

void DibBitmap::ReleaseDib() {
  if (dib_ == nullptr) return;
  SelectObject(static_cast<HDC>(dc_), static_cast<HGDIOBJ>(previous_));
  DeleteObject(static_cast<HGDIOBJ>(dib_));
  dib_ = nullptr;
  previous_ = nullptr;
  pixels_ = nullptr;
  allocatedWidth_ = allocatedHeight_ = 0;
}

bool DibBitmap::Resize(int width, int height) {
  if (dc_ == nullptr) {
    width_ = height_ = allocatedWidth_ = allocatedHeight_ = 0;
    pixels_ = nullptr;
    return false;
  }
  // Sizes GDI cannot allocate behave like an empty bitmap.
  if (width <= 0 || height <= 0 || width > kMaxDimension || height > kMaxDimension)
    width = height = 0;
  if (width == width_ && height == height_) return false;
  width_ = width;
  height_ = height;
  if (width > 0 && pixels_ != nullptr && width <= allocatedWidth_ && height <= allocatedHeight_)
    return true;

  ReleaseDib();
  if (width == 0) return true;

  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = (width + 3) & ~3;
  info.bmiHeader.biHeight = -height; // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (dib == nullptr || bits == nullptr) {
    if (dib != nullptr) DeleteObject(dib);
    width_ = height_ = 0;
    return true;
  }
  dib_ = dib;
  previous_ = SelectObject(static_cast<HDC>(dc_), dib);
  pixels_ = static_cast<std::uint32_t*>(bits);
  allocatedWidth_ = int(info.bmiHeader.biWidth);
  allocatedHeight_ = height;
  return true;
}

} // namespace quorvane
