#include "raster/internal/OpenFileUtf8.h"

namespace quorvane::internal {

std::FILE* OpenFileUtf8(const char* path) {
  return std::fopen(path, "rb");
}

} // namespace quorvane::internal
