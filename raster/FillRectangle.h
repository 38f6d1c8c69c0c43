#pragma once
// Filling a rectangle with one colour: the slider track, the envelope strip,
// opaque text backgrounds and the black glyph box. Editor window thread;
// never allocates.

#include "raster/BlendMode.h"

#include <cstdint>

namespace quorvane {

class RasterBitmap;

// colour is a 0xAARRGGBB word. With kBlendSourceAlpha the colour's alpha
// scales the weight. Plain copies at weights 1, 0.75, 0.5 and 0.25 blend
// whole words (alpha byte included); other weights blend red, green and blue
// and use the weight itself as the colour's alpha.
void FillRectangle(RasterBitmap* dest, int x, int y, int width, int height, std::uint32_t colour,
                   float weight, BlendMode mode);

} // namespace quorvane
