#pragma once
// Resizes a whole bitmap into a new one with a proper filter: an area
// average (box) along an axis that shrinks, linear interpolation along one
// that grows. Colours are weighted by their alpha, so transparent pixels
// leave no dark fringe. The editor resamples its images once when the screen
// scale is set. Editor window thread (or whichever thread sets the scale).

#include "raster/HeapBitmap.h"

#include <memory>

namespace quorvane {

// Null when either size is not positive, the source holds no pixels or the
// destination cannot be allocated.
std::unique_ptr<HeapBitmap> ResampleBitmap(const RasterBitmap& source, int width, int height);

} // namespace quorvane
