#include "raster/StrokeLine.h"

#include "raster/internal/PixelOperators.h"
#include "raster/internal/PixelView.h"
#include "raster/internal/WordFill.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace quorvane {
namespace {

using internal::Channels;
using internal::PixelView;

// Liang-Barsky against the pixel centres 0..width-1, 0..height-1; doubles
// because the ends may be anywhere in the int range.
bool ClipLine(const PixelView& d, double& x1, double& y1, double& x2, double& y2) {
  const double dx = x2 - x1, dy = y2 - y1;
  double t0 = 0, t1 = 1;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {x1, d.width - 1 - x1, y1, d.height - 1 - y1};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0)
      t0 = std::max(t0, t);
    else
      t1 = std::min(t1, t);
    if (t0 > t1) return false;
  }
  const double ax = x1 + t0 * dx, ay = y1 + t0 * dy, bx = x1 + t1 * dx, by = y1 + t1 * dy;
  x1 = ax;
  y1 = ay;
  x2 = bx;
  y2 = by;
  return true;
}

int ToPixel(double v, int size) {
  return std::clamp(int(std::lround(v)), 0, size - 1);
}

template <class Op> void Plot(const PixelView& d, int x, int y, const Channels& s, int w, Op op) {
  std::uint32_t* p = d.Row(y) + x;
  *p = op(*p, s, w);
}

template <class Op>
void Bresenham(const PixelView& d, int x1, int y1, int x2, int y2, const Channels& s, int w,
               Op op) {
  const int dx = std::abs(x2 - x1), dy = -std::abs(y2 - y1);
  const int stepX = x1 < x2 ? 1 : -1, stepY = y1 < y2 ? 1 : -1;
  int error = dx + dy;
  for (;;) {
    Plot(d, x1, y1, s, w, op);
    if (x1 == x2 && y1 == y2) return;
    const int e2 = 2 * error;
    if (e2 >= dy) {
      error += dy;
      x1 += stepX;
    }
    if (e2 <= dx) {
      error += dx;
      y1 += stepY;
    }
  }
}

// Each step along the major axis shares the weight between the two pixels
// that straddle the exact line, in proportion to their distance from it.
template <class Op>
void Antialiased(const PixelView& d, int x1, int y1, int x2, int y2, const Channels& s, int w,
                 Op op) {
  const bool steep = std::abs(y2 - y1) > std::abs(x2 - x1);
  if (steep) {
    std::swap(x1, y1);
    std::swap(x2, y2);
  }
  if (x1 > x2) {
    std::swap(x1, x2);
    std::swap(y1, y2);
  }
  const int minorSize = steep ? d.width : d.height;
  const std::int64_t span = x2 - x1;
  const std::int64_t gradient = span == 0 ? 0 : (std::int64_t(y2 - y1) << 16) / span;
  std::int64_t minor = std::int64_t(y1) << 16;
  for (int major = x1; major <= x2; ++major, minor += gradient) {
    const int low = int(minor >> 16);
    const int fraction = int((minor & 0xFFFF) >> 8); // 0..255
    const int weights[2] = {w * (256 - fraction) / 256, w * fraction / 256};
    for (int k = 0; k < 2; ++k) {
      const int m = low + k;
      if (weights[k] == 0 || m < 0 || m >= minorSize) continue;
      if (steep)
        Plot(d, m, major, s, weights[k], op);
      else
        Plot(d, major, m, s, weights[k], op);
    }
  }
}

} // namespace

void StrokeLine(RasterBitmap* dest, int x1, int y1, int x2, int y2, std::uint32_t colour,
                float weight, BlendMode mode, bool antialias) {
  const PixelView d = internal::ViewOf(dest);
  const int w = internal::WeightToInt(weight);
  if (d.Empty() || w == 0) return;
  double ax = x1, ay = y1, bx = x2, by = y2;
  if (!ClipLine(d, ax, ay, bx, by)) return;
  const int px1 = ToPixel(ax, d.width), py1 = ToPixel(ay, d.height);
  const int px2 = ToPixel(bx, d.width), py2 = ToPixel(by, d.height);

  const bool plainCopy = (mode & (kBlendOperatorMask | kBlendSourceAlpha)) == kBlendCopy;
  if (py1 == py2 && plainCopy) {
    const int from = std::min(px1, px2);
    if (internal::FillRunWords(d.Row(py1) + from, std::abs(px2 - px1) + 1, colour, w)) return;
  }
  const Channels source = internal::Split(colour);
  internal::WithOperator(mode, [&](auto op) {
    if (antialias)
      Antialiased(d, px1, py1, px2, py2, source, w, op);
    else
      Bresenham(d, px1, py1, px2, py2, source, w, op);
  });
}

} // namespace quorvane
