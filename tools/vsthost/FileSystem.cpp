#include "FileSystem.h"

#include "TextNumbers.h"

#include <cerrno>
#include <cstring>

namespace vsthost {

bool EndsWithSeparator(const std::string& path) {
  return !path.empty() && BaseName(path).empty();
}

std::string BaseName(const std::string& path) {
#if defined(_WIN32)
  const size_t slash = path.find_last_of("/\\:");
#else
  const size_t slash = path.find_last_of('/');
#endif
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string LastFileError() {
  return std::strerror(errno);
}

bool IsWindowsDeviceName(const std::string& path) {
  std::string stem = BaseName(path);
  stem = stem.substr(0, stem.find('.'));
  while (!stem.empty() && stem.back() == ' ')
    stem.pop_back();
  for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"}) {
    if (SameIgnoringCase(stem, device)) return true;
  }
  if (stem.size() == 4 && stem[3] >= '1' && stem[3] <= '9') {
    const std::string prefix = stem.substr(0, 3);
    return SameIgnoringCase(prefix, "COM") || SameIgnoringCase(prefix, "LPT");
  }
  return false;
}

} // namespace vsthost
