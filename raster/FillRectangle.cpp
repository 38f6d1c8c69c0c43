#include "raster/FillRectangle.h"

#include "raster/internal/PixelOperators.h"
#include "raster/internal/PixelView.h"
#include "raster/internal/WordFill.h"

#include <algorithm>

namespace quorvane {

void FillRectangle(RasterBitmap* dest, int x, int y, int width, int height, std::uint32_t colour,
                   float weight, BlendMode mode) {
  if ((mode & kBlendSourceAlpha) != 0) weight *= float(colour >> 24) * 0.003921569f;

  const internal::PixelView d = internal::ViewOf(dest);
  std::int64_t left = x, top = y, w64 = width, h64 = height;
  if (left < 0) {
    w64 += left;
    left = 0;
  }
  if (top < 0) {
    h64 += top;
    top = 0;
  }
  const int w = internal::WeightToInt(weight);
  if (w == 0 || d.Empty() || w64 <= 0 || h64 <= 0 || left >= d.width || top >= d.height) return;
  const int columns = int(std::min<std::int64_t>(w64, d.width - left));
  const int rows = int(std::min<std::int64_t>(h64, d.height - top));

  const BlendMode op = mode & kBlendOperatorMask;
  if (op == kBlendCopy && (w == 256 || w == 192 || w == 128 || w == 64)) {
    for (int row = 0; row < rows; ++row)
      internal::FillRunWords(d.Row(int(top) + row) + left, columns, colour, w);
    return;
  }

  // The weight also stands in for the colour's alpha.
  internal::Channels source = internal::Split(colour);
  source.a = w;
  internal::WithOperator(op, [&](auto blend) {
    for (int row = 0; row < rows; ++row) {
      std::uint32_t* p = d.Row(int(top) + row) + left;
      for (int i = 0; i < columns; ++i)
        p[i] = blend(p[i], source, w);
    }
  });
}

} // namespace quorvane
