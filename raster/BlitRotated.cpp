#include "raster/BlitRotated.h"

#include "raster/internal/PixelOperators.h"
#include "raster/internal/PixelView.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace quorvane {
namespace {

using internal::PixelView;

// Source coordinates beyond this many pixels are far outside any bitmap; the
// limit keeps 16.16 positions and their steps inside 64 bits.
constexpr double kCoordinateLimit = double(1 << 24);

std::int64_t ToFixed(double v) {
  return std::llround(std::clamp(v, -kCoordinateLimit, kCoordinateLimit) * 65536.0);
}

// The sampled region of the source, in source pixels.
struct Region {
  int left, top, width, height;
};

struct NearestSampler {
  std::uint32_t operator()(const PixelView& s, const Region& r, std::int64_t u,
                           std::int64_t v) const {
    return s.Row(r.top + int(v >> 16))[r.left + int(u >> 16)];
  }
};

struct BilinearSampler {
  static std::uint32_t Pair(std::uint32_t p, std::uint32_t q, std::uint32_t f) {
    std::uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
      const std::uint32_t a = p >> shift & 0xFF, b = q >> shift & 0xFF;
      out |= ((a * (0x10000 - f) + b * f) >> 16) << shift;
    }
    return out;
  }
  std::uint32_t operator()(const PixelView& s, const Region& r, std::int64_t u,
                           std::int64_t v) const {
    const int iu = int(u >> 16), iv = int(v >> 16);
    const std::uint32_t fx = std::uint32_t(u & 0xFFFF), fy = std::uint32_t(v & 0xFFFF);
    const std::uint32_t* row = s.Row(r.top + iv) + r.left + iu;
    const bool hasRight = iu + 1 < r.width, hasBelow = iv + 1 < r.height;
    if (!hasRight && !hasBelow) return row[0];
    if (!hasRight) return Pair(row[0], s.Row(r.top + iv + 1)[r.left + iu], fy);
    if (!hasBelow) return Pair(row[0], row[1], fx);
    const std::uint32_t* below = s.Row(r.top + iv + 1) + r.left + iu;
    // 64-bit products: (1 - 0) * (1 - 0) is 2^32 in 16.16.
    const std::uint64_t gx = 0x10000 - fx, gy = 0x10000 - fy;
    const std::uint32_t w00 = std::uint32_t((gx * gy) >> 16);
    const std::uint32_t w10 = std::uint32_t((std::uint64_t(fx) * gy) >> 16);
    const std::uint32_t w01 = std::uint32_t((gx * fy) >> 16);
    const std::uint32_t w11 = std::uint32_t((std::uint64_t(fx) * fy) >> 16);
    std::uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
      const std::uint32_t sum = (row[0] >> shift & 0xFF) * w00 + (row[1] >> shift & 0xFF) * w10 +
                                (below[0] >> shift & 0xFF) * w01 + (below[1] >> shift & 0xFF) * w11;
      out |= (sum >> 16) << shift;
    }
    return out;
  }
};

struct Walk {
  int firstColumn, columns, firstRow, rows;
  std::int64_t u, v;       // 16.16 source position of the first pixel
  std::int64_t colU, colV; // per destination column
  std::int64_t rowU, rowV; // per destination row
};

template <class Sampler, class Op>
void Run(const PixelView& d, const PixelView& s, const Region& r, const Walk& walk, int w,
         Sampler sample, Op op) {
  const std::int64_t limitU = std::int64_t(r.width) << 16, limitV = std::int64_t(r.height) << 16;
  std::int64_t rowStartU = walk.u, rowStartV = walk.v;
  for (int row = 0; row < walk.rows; ++row) {
    std::uint32_t* out = d.Row(walk.firstRow + row) + walk.firstColumn;
    std::int64_t u = rowStartU, v = rowStartV;
    for (int i = 0; i < walk.columns; ++i) {
      if (u >= 0 && v >= 0 && u < limitU && v < limitV)
        out[i] = op(out[i], internal::Split(sample(s, r, u, v)), w);
      u += walk.colU;
      v += walk.colV;
    }
    rowStartU += walk.rowU;
    rowStartV += walk.rowV;
  }
}

} // namespace

void BlitRotated(RasterBitmap* dest, const RasterBitmap* source, int x, int y, int width,
                 int height, float srcX, float srcY, float srcWidth, float srcHeight, float angle,
                 bool clipToSource, float weight, BlendMode mode, float offsetX, float offsetY) {
  const PixelView d = internal::ViewOf(dest);
  const PixelView s = internal::ViewOf(source);
  if (d.Empty() || s.Empty() || width == 0 || height == 0) return;
  for (float f : {srcX, srcY, srcWidth, srcHeight, angle, offsetX, offsetY})
    if (!std::isfinite(f)) return;
  const int w = internal::WeightToInt(weight);
  if (w == 0) return;

  double left = 0, top = 0, right = s.width, bottom = s.height;
  if (clipToSource) {
    left = std::max<double>(srcX, 0);
    top = std::max<double>(srcY, 0);
    right = std::min<double>(s.width, double(srcX) + srcWidth);
    bottom = std::min<double>(s.height, double(srcY) + srcHeight);
  }
  // Limited to the source before the integer conversion, which a huge float
  // would overflow.
  left = std::clamp<double>(left, 0, s.width);
  right = std::clamp<double>(right, 0, s.width);
  top = std::clamp<double>(top, 0, s.height);
  bottom = std::clamp<double>(bottom, 0, s.height);
  const Region region{int(left), int(top), int(right) - int(left), int(bottom) - int(top)};
  if (region.width < 1 || region.height < 1) return;

  // Mirroring: a negative size flips the destination and runs the source
  // backwards from its far edge.
  std::int64_t dx = x, dy = y, dw = width, dh = height;
  double sx = srcX, sy = srcY, sw = srcWidth, sh = srcHeight;
  if (dw < 0) {
    dw = -dw;
    dx -= dw;
    sx += sw;
    sw = -sw;
  }
  if (dh < 0) {
    dh = -dh;
    dy -= dh;
    sy += sh;
    sh = -sh;
  }

  const std::int64_t firstColumn = std::max<std::int64_t>(dx, 0);
  const std::int64_t firstRow = std::max<std::int64_t>(dy, 0);
  const std::int64_t endColumn = std::min<std::int64_t>(dx + dw, d.width);
  const std::int64_t endRow = std::min<std::int64_t>(dy + dh, d.height);
  if (firstColumn >= endColumn || firstRow >= endRow) return;

  const double kx = sw / double(dw), ky = sh / double(dh);
  const double cosA = std::cos(double(angle)), sinA = std::sin(double(angle));
  // Pixel centres map to pixel centres, so an unturned, unscaled blit
  // reproduces the source; bilinear sampling is taken half a pixel up-left so
  // that a centre falls on its own pixel with zero fractions.
  const double centreX = double(dx) + double(dw) / 2, centreY = double(dy) + double(dh) / 2;
  const double relX = double(firstColumn) + 0.5 - centreX;
  const double relY = double(firstRow) + 0.5 - centreY;
  const bool bilinear = (mode & kBlendFilterMask) == kBlendBilinear;
  const double bias = bilinear ? 0.5 : 0.0;
  const double u = sx + sw / 2 + offsetX + kx * (cosA * relX + sinA * relY) - region.left - bias;
  const double v = sy + sh / 2 + offsetY + ky * (cosA * relY - sinA * relX) - region.top - bias;

  const Walk walk{int(firstColumn),   int(endColumn - firstColumn),
                  int(firstRow),      int(endRow - firstRow),
                  ToFixed(u),         ToFixed(v),
                  ToFixed(kx * cosA), ToFixed(-ky * sinA),
                  ToFixed(kx * sinA), ToFixed(ky * cosA)};
  internal::WithOperator(mode, [&](auto op) {
    if (bilinear)
      Run(d, s, region, walk, w, BilinearSampler{}, op);
    else
      Run(d, s, region, walk, w, NearestSampler{}, op);
  });
}

} // namespace quorvane
