#pragma once
// Straight lines of one pixel width (the editor's control outlines, which
// are off in this system). Editor window thread; never allocates.

#include "raster/BlendMode.h"

#include <cstdint>

namespace quorvane {

class RasterBitmap;

// Draws from (x1, y1) to (x2, y2), both ends included, clipped to dest.
// Horizontal plain copies at weights 1, 0.75, 0.5 and 0.25 blend whole words;
// every other line goes pixel by pixel through the operator of `mode`, with
// the coverage of each pixel scaling the weight when antialias is set.
void StrokeLine(RasterBitmap* dest, int x1, int y1, int x2, int y2, std::uint32_t colour,
                float weight, BlendMode mode, bool antialias);

} // namespace quorvane
