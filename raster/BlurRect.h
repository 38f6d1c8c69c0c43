#pragma once
// A light in-place blur (half the pixel, an eighth of each direct
// neighbour), used on glyph masks. Editor window thread; allocates only for
// rows wider than 1024 pixels.

#include "raster/Rect.h"

namespace quorvane {

class RasterBitmap;

// Blurs the part of `rect` that lies inside the bitmap. Neighbours outside
// the rectangle are not read: their share goes to the opposite neighbour.
// A region less than 2 pixels wide or high is left unchanged.
void BlurRect(RasterBitmap* bitmap, const Rect& rect);

} // namespace quorvane
