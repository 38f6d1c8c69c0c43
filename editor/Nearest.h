#pragma once
// Rounding of the editor's layout and painting: halves go away from zero.
// Values that fit no int (NaN, infinities, huge numbers from bad input) are
// limited to kNearestLimit so that no conversion overflows and any sum of a
// few such coordinates still fits an int.

#include <cmath>
#include <cstdint>

namespace quorvane {

inline constexpr std::int32_t kNearestLimit = 1 << 24;

inline std::int32_t NearestD(double v) {
  if (std::isnan(v)) return 0;
  const double r = v >= 0.0 ? v + 0.5 : v - 0.5;
  if (r >= kNearestLimit) return kNearestLimit;
  if (r <= -kNearestLimit) return -kNearestLimit;
  return static_cast<std::int32_t>(r);
}

// The same for a value computed in single precision; the half is added in
// single precision too.
inline std::int32_t NearestF(float v) {
  if (std::isnan(v)) return 0;
  const float r = v >= 0.0f ? v + 0.5f : v - 0.5f;
  if (r >= static_cast<float>(kNearestLimit)) return kNearestLimit;
  if (r <= -static_cast<float>(kNearestLimit)) return -kNearestLimit;
  return static_cast<std::int32_t>(r);
}

// Truncation toward zero, limited like the rounding above.
inline std::int32_t TruncToInt(double v) {
  if (std::isnan(v)) return 0;
  if (v >= kNearestLimit) return kNearestLimit;
  if (v <= -kNearestLimit) return -kNearestLimit;
  return static_cast<std::int32_t>(v);
}

// A sum or difference of coordinates computed wide, limited to an int.
inline std::int32_t ClampToInt(std::int64_t v) {
  if (v > INT32_MAX) return INT32_MAX;
  if (v < INT32_MIN) return INT32_MIN;
  return static_cast<std::int32_t>(v);
}

} // namespace quorvane
