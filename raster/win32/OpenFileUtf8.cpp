#include "raster/internal/OpenFileUtf8.h"

#include <windows.h>

namespace quorvane::internal {

namespace {
constexpr int kMaxPathUnits = 2048;
}

std::FILE* OpenFileUtf8(const char* path) {
  wchar_t wide[kMaxPathUnits];
  const int units =
      MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path, -1, wide, kMaxPathUnits);
  if (units > 0) {
    if (std::FILE* file = _wfopen(wide, L"rb")) return file;
  }
  // Names that are not valid UTF-8 may still be valid in the ANSI code page.
  return std::fopen(path, "rb");
}

} // namespace quorvane::internal
