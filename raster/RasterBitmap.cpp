#include "raster/RasterBitmap.h"

namespace quorvane {

RasterBitmap::~RasterBitmap() = default;

bool RasterBitmap::IsBottomUp() const {
  return false;
}

void* RasterBitmap::DeviceContext() const {
  return nullptr;
}

std::intptr_t RasterBitmap::QueryExtension(std::int32_t, std::intptr_t) const {
  return 0;
}

} // namespace quorvane
