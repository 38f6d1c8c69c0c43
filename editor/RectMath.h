#pragma once
// The rectangle rules of the editor: a rectangle whose four values are all 0
// is empty in unions and intersections; containment is half-open; overlap is
// strict on every side.

#include "raster/Rect.h"

#include <algorithm>

namespace quorvane {

inline bool IsZeroRect(const Rect& r) {
  return r.left == 0 && r.top == 0 && r.right == 0 && r.bottom == 0;
}

inline bool RectContains(const Rect& r, int x, int y) {
  return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

inline bool RectsOverlap(const Rect& a, const Rect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// The smallest rectangle covering both; a zero rectangle yields the other.
inline Rect UnionRect(const Rect& a, const Rect& b) {
  if (IsZeroRect(a)) return b;
  if (IsZeroRect(b)) return a;
  return Rect{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
              std::max(a.bottom, b.bottom)};
}

// The common part, or a zero rectangle when there is none.
inline Rect IntersectRect(const Rect& a, const Rect& b) {
  if (IsZeroRect(a) || IsZeroRect(b) || !RectsOverlap(a, b)) return Rect{};
  return Rect{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
              std::min(a.bottom, b.bottom)};
}

} // namespace quorvane
