#include "editor_win32/EntryLayout.h"

#include <cstring>

namespace quorvane {

std::uint32_t EditAlignmentStyle(std::int32_t alignment) {
  constexpr std::uint32_t kLeft = 0x0;
  constexpr std::uint32_t kCentre = 0x1;
  constexpr std::uint32_t kRight = 0x2;
  if (alignment == 0) return kLeft;
  if (alignment == 2) return kRight;
  return kCentre;
}

void BuildFileFilter(const char* extensions, std::string& filter, std::string& defaultExtension) {
  filter.clear();
  defaultExtension.clear();
  if (extensions == nullptr || *extensions == '\0') return;
  std::string pattern;
  const char* p = extensions;
  while (*p != '\0') {
    while (*p == ' ')
      ++p;
    const char* start = p;
    while (*p != '\0' && *p != ' ')
      ++p;
    if (p == start) break;
    const std::string extension(start, p);
    if (defaultExtension.empty()) defaultExtension = extension;
    if (!pattern.empty()) pattern += ';';
    pattern += "*.";
    pattern += extension;
  }
  if (pattern.empty()) return;
  filter = pattern;
  filter += '\0';
  filter += pattern;
  filter += '\0';
  filter += '\0';
}

std::string DirectoryOfPath(const char* path) {
  if (path == nullptr) return std::string();
  const char* last = std::strrchr(path, '\\');
  if (last == nullptr || last[1] == '\0') return std::string();
  return std::string(path, last + 1);
}

} // namespace quorvane
