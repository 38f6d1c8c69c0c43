#include "raster/HeapBitmap.h"

#include <cstdlib>

namespace quorvane {
namespace {

constexpr std::size_t kPixelAlignment = 64;

int AlignMaskFor(int alignment) {
  if (alignment < 2) return 0;
  int lowest = alignment & -alignment;
  if (lowest > 16) lowest = 16;
  return lowest - 1;
}

} // namespace

HeapBitmap::HeapBitmap(int width, int height, int alignment) : alignMask_(AlignMaskFor(alignment)) {
  if (width > 0 && height > 0) Resize(width, height);
}

HeapBitmap::~HeapBitmap() {
  Release();
}

std::uint32_t* HeapBitmap::Pixels() const {
  if (buffer_ == nullptr) return nullptr;
  auto address = reinterpret_cast<std::uintptr_t>(buffer_);
  address = (address + kPixelAlignment - 1) & ~std::uintptr_t{kPixelAlignment - 1};
  return reinterpret_cast<std::uint32_t*>(address);
}

int HeapBitmap::StrideFor(int width) const {
  if (width <= 0) return 0;
  return (width + alignMask_) & ~alignMask_;
}

void HeapBitmap::Release() {
  std::free(buffer_);
  buffer_ = nullptr;
  capacity_ = 0;
}

bool HeapBitmap::Resize(int width, int height) {
  if (width == width_ && height == height_) return false;

  std::size_t needed = 0;
  if (width > 0 && height > 0 && width <= kMaxDimension && height <= kMaxDimension) {
    needed = std::size_t(height) * std::size_t(StrideFor(width)) * 4;
    if (needed > kMaxBytes) needed = 0;
  }

  if (needed == 0) {
    Release();
  } else if (buffer_ == nullptr) {
    buffer_ = std::malloc(needed + kPixelAlignment - 1);
    capacity_ = buffer_ != nullptr ? needed : 0;
  } else if (capacity_ < needed) {
    // Contents need not survive, so a fresh block beats realloc's copy.
    const std::size_t grown = needed / 4 * 5;
    Release();
    buffer_ = std::malloc(grown + kPixelAlignment - 1);
    capacity_ = grown;
    if (buffer_ == nullptr) {
      buffer_ = std::malloc(needed + kPixelAlignment - 1);
      capacity_ = buffer_ != nullptr ? needed : 0;
    }
  }

  if (buffer_ == nullptr) {
    width_ = 0;
    height_ = 0;
  } else {
    width_ = width;
    height_ = height;
  }
  return true;
}

} // namespace quorvane
