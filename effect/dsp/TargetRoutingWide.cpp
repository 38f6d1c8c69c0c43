#include "effect/dsp/TargetRoutingWide.h"

#include <immintrin.h>
#include <type_traits>

namespace quorvane {
namespace wide {
namespace {

// Eight values in one AVX register.
struct Lanes {
  static constexpr int kCount = 8;
  explicit Lanes(float x) : v(_mm256_set1_ps(x)) {}
  explicit Lanes(__m256 x) : v(x) {}
  static Lanes Load(const float* p) { return Lanes(_mm256_loadu_ps(p)); }
  __m256 v;
};
Lanes operator+(Lanes a, Lanes b) {
  return Lanes(_mm256_add_ps(a.v, b.v));
}
Lanes operator-(Lanes a, Lanes b) {
  return Lanes(_mm256_sub_ps(a.v, b.v));
}
Lanes operator*(Lanes a, Lanes b) {
  return Lanes(_mm256_mul_ps(a.v, b.v));
}
Lanes operator/(Lanes a, Lanes b) {
  return Lanes(_mm256_div_ps(a.v, b.v));
}
Lanes Abs(Lanes a) {
  return Lanes(_mm256_andnot_ps(_mm256_set1_ps(-0.0f), a.v));
}
void Store(float* p, Lanes x) {
  _mm256_storeu_ps(p, x.v);
}

#include "effect/dsp/RoutingKernel.h"

} // namespace

void RouteMix(const TargetRouting& routing, bool spanIsPowerOfTwo, const float* levels, int frames,
              float* wets, float* drys, float* factors) noexcept {
  MixPass(routing, spanIsPowerOfTwo, levels, frames, wets, drys, factors);
}

} // namespace wide
} // namespace quorvane
