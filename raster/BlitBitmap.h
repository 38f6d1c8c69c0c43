#pragma once
// Copying and blending a rectangle of one bitmap onto another: the editor's
// backgrounds, button strips and cropped frames, and the glyph boxes of text.
// Editor window thread; never allocates.

#include "raster/BlendMode.h"

namespace quorvane {

class RasterBitmap;

// Draws the source rectangle (srcX, srcY, srcWidth, srcHeight) with its top
// left corner at (x, y) of dest, clipped to both bitmaps. Weight 1.0 and 0.5
// plain copies take whole-word paths; other weights go through the operator
// of `mode` (the filter bits are ignored here).
void BlitBitmap(RasterBitmap* dest, const RasterBitmap* source, int x, int y, int srcX, int srcY,
                int srcWidth, int srcHeight, float weight, BlendMode mode);

} // namespace quorvane
