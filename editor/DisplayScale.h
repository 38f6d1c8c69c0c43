#pragma once
// The editor's screen scale: the supported factors, the mapping between
// logical units (the 507 x 248 panel every control is placed in) and device
// pixels, and which of the drawn image sets serves a factor. Pure functions,
// any thread.

#include "raster/Rect.h"

#include <cstdint>
#include <string>

namespace quorvane {

struct DisplayScale {
  static constexpr double kMin = 1.0;
  static constexpr double kMax = 4.0;
  static constexpr double kStep = 0.25;
  // Images are drawn at 1x, 2x and 3x; set k of an image with resource id n
  // has id n + (k - 1) x kImageSetIdStep and lives in the folder "kx/".
  static constexpr std::int32_t kLargestImageSet = 3;
  static constexpr std::int32_t kImageSetIdStep = 100;

  // The nearest supported factor, limited to kMin..kMax; 0 (refused) for a
  // factor that is not a positive finite number.
  static double Snap(double factor);
  // A logical length or coordinate in device pixels, rounded half away from
  // zero.
  static std::int32_t ToPixels(std::int32_t logical, double scale);
  static Rect ToPixels(const Rect& logical, double scale);
  // The logical unit a device pixel lies in.
  static std::int32_t ToLogical(std::int32_t pixel, double scale);
  // The smallest logical rectangle covering a device rectangle.
  static Rect CoveringLogical(const Rect& pixels, double scale);
  // The image set drawn at the next larger size (the largest there is above
  // it), so that it is only ever resampled down.
  static std::int32_t ImageSetFor(double scale);
  static std::int32_t ImageSetId(std::int32_t resourceId, std::int32_t set);
  // "img/bg.png" in set 2 is "img/2x/bg.png".
  static std::string ImageSetName(const char* name, std::int32_t set);
};

} // namespace quorvane
