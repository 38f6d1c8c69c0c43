#include "raster/BlitBitmap.h"

#include "raster/internal/PixelOperators.h"
#include "raster/internal/PixelView.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace quorvane {
namespace {

using internal::PixelView;

struct Span {
  int destX, destY, srcX, srcY, width, height;
};

// 64-bit arithmetic throughout: callers pass editor coordinates, but a huge
// rectangle must clip, not wrap.
bool ClipSpan(const PixelView& dest, const PixelView& src, int x, int y, int srcX, int srcY,
              int srcWidth, int srcHeight, Span* span) {
  std::int64_t dx = x, dy = y, sx = srcX, sy = srcY;
  const std::int64_t right = std::min<std::int64_t>(std::int64_t(srcX) + srcWidth, src.width);
  const std::int64_t bottom = std::min<std::int64_t>(std::int64_t(srcY) + srcHeight, src.height);
  if (sx < 0) {
    dx -= sx;
    sx = 0;
  }
  if (sy < 0) {
    dy -= sy;
    sy = 0;
  }
  if (dx < 0) {
    sx -= dx;
    dx = 0;
  }
  if (dy < 0) {
    sy -= dy;
    dy = 0;
  }
  if (sx >= right || sy >= bottom || dx >= dest.width || dy >= dest.height) return false;
  const std::int64_t columns = std::min(right, sx + dest.width - dx) - sx;
  const std::int64_t rows = std::min(bottom, sy + dest.height - dy) - sy;
  if (columns <= 0 || rows <= 0) return false;
  *span = {int(dx), int(dy), int(sx), int(sy), int(columns), int(rows)};
  return true;
}

template <class Op>
void BlendSpan(const PixelView& dest, const PixelView& src, const Span& s, int w, Op op) {
  for (int row = 0; row < s.height; ++row) {
    std::uint32_t* d = dest.Row(s.destY + row) + s.destX;
    const std::uint32_t* p = src.Row(s.srcY + row) + s.srcX;
    for (int i = 0; i < s.width; ++i)
      d[i] = op(d[i], internal::Split(p[i]), w);
  }
}

} // namespace

void BlitBitmap(RasterBitmap* dest, const RasterBitmap* source, int x, int y, int srcX, int srcY,
                int srcWidth, int srcHeight, float weight, BlendMode mode) {
  const PixelView d = internal::ViewOf(dest);
  const PixelView s = internal::ViewOf(source);
  if (d.Empty() || s.Empty()) return;
  Span span{};
  if (!ClipSpan(d, s, x, y, srcX, srcY, srcWidth, srcHeight, &span)) return;

  const bool plainCopy = (mode & (kBlendOperatorMask | kBlendSourceAlpha)) == kBlendCopy;
  if (plainCopy && weight == 1.0f) {
    // memmove: source and destination may be the same bitmap.
    for (int row = 0; row < span.height; ++row)
      std::memmove(d.Row(span.destY + row) + span.destX, s.Row(span.srcY + row) + span.srcX,
                   std::size_t(span.width) * 4);
    return;
  }
  if (plainCopy && weight == 0.5f) {
    for (int row = 0; row < span.height; ++row) {
      std::uint32_t* dp = d.Row(span.destY + row) + span.destX;
      const std::uint32_t* sp = s.Row(span.srcY + row) + span.srcX;
      for (int i = 0; i < span.width; ++i)
        dp[i] = internal::HalfMix(sp[i], dp[i]);
    }
    return;
  }

  const int w = internal::WeightToInt(weight);
  if (w == 0) return;
  internal::WithOperator(mode, [&](auto op) { BlendSpan(d, s, span, w, op); });
}

} // namespace quorvane
