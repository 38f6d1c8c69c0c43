#include "editor_win32/EntryLayout.h"

#include <algorithm>
#include <cstring>

namespace quorvane {

namespace {

constexpr int kListMinWidth = 24;
constexpr int kListCharWidth = 8;
constexpr int kListPadding = 24;
constexpr int kListRowHeight = 36;
constexpr int kEditMinWidth = 32;
constexpr int kEditCharWidth = 7;
constexpr int kEditPadding = 6;
constexpr int kEditHeight = 16;

// The centre is taken in single precision and truncated, as the controls'
// own geometry is.
int CentreX(const Rect& r) {
  return static_cast<int>((r.left + r.right) * 0.5f);
}
int CentreY(const Rect& r) {
  return static_cast<int>((r.top + r.bottom) * 0.5f);
}

} // namespace

EntryBox ValueListBox(const Rect& control, int nameCount, int longestNameLength) {
  EntryBox box;
  box.width = std::max(kListMinWidth, kListCharWidth * longestNameLength + kListPadding);
  box.x = CentreX(control) - box.width / 2;
  box.y = CentreY(control);
  box.height = kListRowHeight * (nameCount + 1);
  return box;
}

EntryBox ValueEditBox(const Rect& control, int largestValueTextLength) {
  EntryBox box;
  box.width = std::max(kEditMinWidth, kEditCharWidth * largestValueTextLength + kEditPadding);
  box.x = CentreX(control) - box.width / 2;
  box.y = CentreY(control) - kEditHeight / 2;
  box.height = kEditHeight;
  return box;
}

EntryBox ControlTextBox(const Rect& control) {
  return EntryBox{control.left, control.top, control.right - control.left,
                  control.bottom - control.top};
}

EntryBox FreeTextBox(const Rect& rect) {
  return EntryBox{rect.left, rect.top, rect.right - rect.left + 1, rect.bottom - rect.top - 2};
}

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
