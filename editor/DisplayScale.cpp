#include "editor/DisplayScale.h"

#include "editor/Nearest.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace quorvane {

double DisplayScale::Snap(double factor) {
  if (!std::isfinite(factor) || factor <= 0.0) return 0.0;
  const double limited = std::clamp(factor, kMin, kMax);
  return std::round(limited / kStep) * kStep;
}

std::int32_t DisplayScale::ToPixels(std::int32_t logical, double scale) {
  return NearestD(logical * scale);
}

Rect DisplayScale::ToPixels(const Rect& logical, double scale) {
  return Rect{ToPixels(logical.left, scale), ToPixels(logical.top, scale),
              ToPixels(logical.right, scale), ToPixels(logical.bottom, scale)};
}

std::int32_t DisplayScale::ToLogical(std::int32_t pixel, double scale) {
  // Scales are at least 1, so the quotient always fits; any pointer position
  // a window reports passes through unlimited.
  if (scale == 1.0) return pixel;
  return ClampToInt(static_cast<std::int64_t>(std::floor(pixel / scale)));
}

Rect DisplayScale::CoveringLogical(const Rect& pixels, double scale) {
  return Rect{ToLogical(pixels.left, scale), ToLogical(pixels.top, scale),
              ClampToInt(static_cast<std::int64_t>(std::ceil(pixels.right / scale))),
              ClampToInt(static_cast<std::int64_t>(std::ceil(pixels.bottom / scale)))};
}

std::int32_t DisplayScale::ImageSetFor(double scale) {
  const auto set = static_cast<std::int32_t>(std::ceil(scale));
  return std::clamp(set, 1, kLargestImageSet);
}

std::int32_t DisplayScale::ImageSetId(std::int32_t resourceId, std::int32_t set) {
  return resourceId + (set - 1) * kImageSetIdStep;
}

std::string DisplayScale::ImageSetName(const char* name, std::int32_t set) {
  const std::string whole = name ? name : "";
  if (set <= 1) return whole;
  const std::size_t slash = whole.rfind('/');
  const std::size_t cut = slash == std::string::npos ? 0 : slash + 1;
  return whole.substr(0, cut) + std::to_string(set) + "x/" + whole.substr(cut);
}

} // namespace quorvane
