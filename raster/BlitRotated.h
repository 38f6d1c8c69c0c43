#pragma once
// Drawing a bitmap scaled and rotated about its centre: the editor's knobs.
// Editor window thread; never allocates.

#include "raster/BlendMode.h"

namespace quorvane {

class RasterBitmap;

// Maps the source rectangle (srcX, srcY, srcWidth, srcHeight) onto the
// destination rectangle (x, y, width, height), turned by `angle` radians
// (clockwise on screen for positive angles) so that the destination centre
// shows the source centre shifted by (offsetX, offsetY). A negative width or
// height mirrors. With clipToSource only the source rectangle is sampled,
// otherwise the whole source. kBlendBilinear in the filter bits selects
// bilinear sampling, anything else the nearest pixel.
void BlitRotated(RasterBitmap* dest, const RasterBitmap* source, int x, int y, int width,
                 int height, float srcX, float srcY, float srcWidth, float srcHeight, float angle,
                 bool clipToSource, float weight, BlendMode mode, float offsetX, float offsetY);

} // namespace quorvane
