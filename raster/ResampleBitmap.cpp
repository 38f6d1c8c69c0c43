#include "raster/ResampleBitmap.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace quorvane {

namespace {

// The source pixels one destination pixel draws from, with their weights
// (summing to 1), for every destination pixel along one axis.
struct Tap {
  int first;
  int count;
  std::size_t weights; // index into AxisTaps::weights
};

struct AxisTaps {
  std::vector<Tap> taps;
  std::vector<float> weights;
};

AxisTaps BoxTaps(int from, int to) {
  AxisTaps axis;
  const double ratio = static_cast<double>(from) / to;
  for (int j = 0; j < to; ++j) {
    const double begin = j * ratio;
    const double end = std::min<double>(from, (j + 1) * ratio);
    const int first = static_cast<int>(std::floor(begin));
    const int last = std::min(from - 1, static_cast<int>(std::ceil(end)) - 1);
    Tap tap{first, last - first + 1, axis.weights.size()};
    for (int i = first; i <= last; ++i) {
      const double covered = std::min<double>(i + 1, end) - std::max<double>(i, begin);
      axis.weights.push_back(static_cast<float>(covered / ratio));
    }
    axis.taps.push_back(tap);
  }
  return axis;
}

AxisTaps LinearTaps(int from, int to) {
  AxisTaps axis;
  const double ratio = static_cast<double>(from) / to;
  for (int j = 0; j < to; ++j) {
    // Pixel centres map onto pixel centres; the edges repeat.
    const double at = std::clamp((j + 0.5) * ratio - 0.5, 0.0, static_cast<double>(from - 1));
    const int first = static_cast<int>(std::floor(at));
    const float fraction = static_cast<float>(at - first);
    if (first + 1 < from && fraction > 0.0f) {
      axis.taps.push_back(Tap{first, 2, axis.weights.size()});
      axis.weights.push_back(1.0f - fraction);
      axis.weights.push_back(fraction);
    } else {
      axis.taps.push_back(Tap{first, 1, axis.weights.size()});
      axis.weights.push_back(1.0f);
    }
  }
  return axis;
}

AxisTaps TapsFor(int from, int to) {
  return to <= from ? BoxTaps(from, to) : LinearTaps(from, to);
}

// Alpha-weighted colour: b, g, r premultiplied by alpha, then alpha.
struct Wide {
  float b = 0, g = 0, r = 0, a = 0;
};

Wide Premultiplied(std::uint32_t word) {
  const float a = static_cast<float>(word >> 24);
  return Wide{static_cast<float>(word & 0xFF) * a, static_cast<float>((word >> 8) & 0xFF) * a,
              static_cast<float>((word >> 16) & 0xFF) * a, a};
}

std::uint32_t Channel(float v) {
  return static_cast<std::uint32_t>(std::clamp(v + 0.5f, 0.0f, 255.0f));
}

std::uint32_t Packed(const Wide& w) {
  if (w.a <= 0.0f) return 0;
  return Channel(w.a) << 24 | Channel(w.r / w.a) << 16 | Channel(w.g / w.a) << 8 |
         Channel(w.b / w.a);
}

const std::uint32_t* Row(const RasterBitmap& bitmap, int y) {
  const int row = bitmap.IsBottomUp() ? bitmap.Height() - 1 - y : y;
  return bitmap.Pixels() + static_cast<std::ptrdiff_t>(row) * bitmap.RowStride();
}

} // namespace

std::unique_ptr<HeapBitmap> ResampleBitmap(const RasterBitmap& source, int width, int height) {
  const int sw = source.Width();
  const int sh = source.Height();
  if (width <= 0 || height <= 0 || sw <= 0 || sh <= 0 || !source.Pixels() ||
      width > HeapBitmap::kMaxDimension || height > HeapBitmap::kMaxDimension)
    return nullptr;
  auto out = std::make_unique<HeapBitmap>(width, height, 4);
  if (!out->Pixels()) return nullptr;
  const AxisTaps across = TapsFor(sw, width);
  const AxisTaps down = TapsFor(sh, height);

  // Horizontal pass into premultiplied rows, then the vertical pass.
  std::vector<Wide> rows(static_cast<std::size_t>(sh) * width);
  for (int y = 0; y < sh; ++y) {
    const std::uint32_t* in = Row(source, y);
    for (int x = 0; x < width; ++x) {
      const Tap& tap = across.taps[static_cast<std::size_t>(x)];
      Wide sum;
      for (int k = 0; k < tap.count; ++k) {
        const float w = across.weights[tap.weights + static_cast<std::size_t>(k)];
        const Wide p = Premultiplied(in[tap.first + k]);
        sum.b += p.b * w;
        sum.g += p.g * w;
        sum.r += p.r * w;
        sum.a += p.a * w;
      }
      rows[static_cast<std::size_t>(y) * width + x] = sum;
    }
  }
  for (int y = 0; y < height; ++y) {
    const Tap& tap = down.taps[static_cast<std::size_t>(y)];
    std::uint32_t* dest = out->Pixels() + static_cast<std::ptrdiff_t>(y) * out->RowStride();
    for (int x = 0; x < width; ++x) {
      Wide sum;
      for (int k = 0; k < tap.count; ++k) {
        const float w = down.weights[tap.weights + static_cast<std::size_t>(k)];
        const Wide& p = rows[static_cast<std::size_t>(tap.first + k) * width + x];
        sum.b += p.b * w;
        sum.g += p.g * w;
        sum.r += p.r * w;
        sum.a += p.a * w;
      }
      dest[x] = Packed(sum);
    }
  }
  return out;
}

} // namespace quorvane
