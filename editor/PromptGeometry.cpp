#include "editor/PromptGeometry.h"

#include <algorithm>

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

} // namespace quorvane
