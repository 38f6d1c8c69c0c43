#include "effect/dsp/TargetRouting.h"

#include "effect/dsp/TargetRoutingWide.h"
#include "effect/dsp/WideUnits.h"

#include <cmath>
#include <type_traits>
#include <xmmintrin.h>

namespace quorvane {
namespace {

// Four values in one SSE register.
struct Lanes {
  static constexpr int kCount = 4;
  explicit Lanes(float x) : v(_mm_set1_ps(x)) {}
  explicit Lanes(__m128 x) : v(x) {}
  static Lanes Load(const float* p) { return Lanes(_mm_loadu_ps(p)); }
  __m128 v;
};
Lanes operator+(Lanes a, Lanes b) {
  return Lanes(_mm_add_ps(a.v, b.v));
}
Lanes operator-(Lanes a, Lanes b) {
  return Lanes(_mm_sub_ps(a.v, b.v));
}
Lanes operator*(Lanes a, Lanes b) {
  return Lanes(_mm_mul_ps(a.v, b.v));
}
Lanes operator/(Lanes a, Lanes b) {
  return Lanes(_mm_div_ps(a.v, b.v));
}
Lanes Abs(Lanes a) {
  return Lanes(_mm_andnot_ps(_mm_set1_ps(-0.0f), a.v));
}
void Store(float* p, Lanes x) {
  _mm_storeu_ps(p, x.v);
}

#include "effect/dsp/RoutingKernel.h"

bool SpanIsPowerOfTwo(const TargetRouting& r) {
  const float span = r.highest - r.lowest;
  int exponent;
  return std::frexp(span, &exponent) == 0.5f && std::isnormal(span) && std::isnormal(1.0f / span);
}

} // namespace

void TargetRouting::Values(const float* levels, int frames, float* values) const noexcept {
  WithValue(*this, [&](const auto& value) { ForEach(levels, frames, values, value); });
}

void TargetRouting::Factors(const float* values, int frames, float* factors) const noexcept {
  WithFactor(*this, SpanIsPowerOfTwo(*this),
             [&](const auto& factor) { ForEach(values, frames, factors, factor); });
}

void TargetRouting::Mix(const float* levels, int frames, float* wets, float* drys,
                        float* factors) const noexcept {
  const bool powerOfTwo = SpanIsPowerOfTwo(*this);
  if (WideUnitsPresent())
    wide::RouteMix(*this, powerOfTwo, levels, frames, wets, drys, factors);
  else
    MixPass(*this, powerOfTwo, levels, frames, wets, drys, factors);
}

} // namespace quorvane
