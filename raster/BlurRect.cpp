#include "raster/BlurRect.h"

#include "raster/internal/PixelView.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

namespace quorvane {
namespace {

constexpr int kStackRowPixels = 1024;

inline std::uint32_t Half(std::uint32_t p) {
  return (p >> 1) & 0x7F7F7F7Fu;
}
inline std::uint32_t Quarter(std::uint32_t p) {
  return (p >> 2) & 0x3F3F3F3Fu;
}
inline std::uint32_t Eighth(std::uint32_t p) {
  return (p >> 3) & 0x1F1F1F1Fu;
}

// above/below are null in the first and last row; cur holds the row's
// unblurred values, out receives the result.
void BlurRow(const std::uint32_t* above, const std::uint32_t* cur, const std::uint32_t* below,
             std::uint32_t* out, int width) {
  for (int i = 0; i < width; ++i) {
    std::uint32_t sum = Half(cur[i]);
    if (i == 0)
      sum += Quarter(cur[1]);
    else if (i == width - 1)
      sum += Quarter(cur[i - 1]);
    else
      sum += Eighth(cur[i - 1]) + Eighth(cur[i + 1]);
    if (above == nullptr)
      sum += Quarter(below[i]);
    else if (below == nullptr)
      sum += Quarter(above[i]);
    else
      sum += Eighth(above[i]) + Eighth(below[i]);
    out[i] = sum;
  }
}

} // namespace

void BlurRect(RasterBitmap* bitmap, const Rect& rect) {
  const internal::PixelView v = internal::ViewOf(bitmap);
  if (v.Empty()) return;
  const int left = std::max(rect.left, 0), top = std::max(rect.top, 0);
  const int right = std::min(rect.right, v.width), bottom = std::min(rect.bottom, v.height);
  // 64-bit: right - left could overflow with extreme inputs.
  if (std::int64_t(right) - left < 2 || std::int64_t(bottom) - top < 2) return;
  const int width = right - left;

  // Rows are blurred in place, so the unblurred previous and current rows are
  // kept aside.
  std::uint32_t stackRows[2 * kStackRowPixels];
  std::unique_ptr<std::uint32_t[]> heapRows;
  std::uint32_t* scratch = stackRows;
  if (width > kStackRowPixels) {
    heapRows.reset(new (std::nothrow) std::uint32_t[2 * std::size_t(width)]);
    if (!heapRows) return;
    scratch = heapRows.get();
  }
  std::uint32_t* previous = scratch;
  std::uint32_t* current = scratch + width;
  const std::size_t bytes = std::size_t(width) * 4;

  for (int y = top; y < bottom; ++y) {
    std::uint32_t* row = v.Row(y) + left;
    std::memcpy(current, row, bytes);
    const std::uint32_t* above = y == top ? nullptr : previous;
    const std::uint32_t* below = y + 1 == bottom ? nullptr : v.Row(y + 1) + left;
    BlurRow(above, current, below, row, width);
    std::swap(previous, current);
  }
}

} // namespace quorvane
