#include "effect/dsp/TargetRouting.h"

#include <cmath>
#include <xmmintrin.h>

namespace quorvane {
namespace {

// Applies op to four values at a time, then to the rest one by one; the
// same single-precision operations either way.
template <class Four, class One>
void ForEach(const float* in, int frames, float* out, const Four& four, const One& one) {
  int i = 0;
  for (; i + 4 <= frames; i += 4)
    _mm_storeu_ps(out + i, four(_mm_loadu_ps(in + i)));
  for (; i < frames; ++i)
    out[i] = one(in[i]);
}

} // namespace

void TargetRouting::Values(const float* levels, int frames, float* values) const noexcept {
  const __m128 depth = _mm_set1_ps(modDepth), base = _mm_set1_ps(modBase), one = _mm_set1_ps(1.0f);
  if (directionUp)
    ForEach(
        levels, frames, values, [&](__m128 l) { return _mm_add_ps(_mm_mul_ps(depth, l), base); },
        [&](float l) { return modDepth * l + modBase; });
  else
    ForEach(
        levels, frames, values,
        [&](__m128 l) { return _mm_add_ps(_mm_mul_ps(_mm_sub_ps(one, l), depth), base); },
        [&](float l) { return (1.0f - l) * modDepth + modBase; });
}

void TargetRouting::Drys(const float* values, int frames, float* drys) noexcept {
  const __m128 one = _mm_set1_ps(1.0f);
  ForEach(
      values, frames, drys, [&](__m128 v) { return _mm_sub_ps(one, v); },
      [](float v) { return 1.0f - v; });
}

void TargetRouting::Factors(const float* values, int frames, float* factors) const noexcept {
  const float g = compGain - 1.0f;
  const float span = highest - lowest;
  const __m128 gain = _mm_set1_ps(g), width = _mm_set1_ps(span), one = _mm_set1_ps(1.0f);
  const __m128 lo = _mm_set1_ps(lowest), hi = _mm_set1_ps(highest), two = _mm_set1_ps(2.0f);
  switch (compMode) {
  case CompMode::Left:
    ForEach(
        values, frames, factors,
        [&](__m128 v) {
          return _mm_add_ps(_mm_div_ps(_mm_mul_ps(_mm_sub_ps(hi, v), gain), width), one);
        },
        [&](float v) { return (highest - v) * g / span + 1.0f; });
    break;
  case CompMode::Right:
    ForEach(
        values, frames, factors,
        [&](__m128 v) {
          return _mm_add_ps(_mm_div_ps(_mm_mul_ps(_mm_sub_ps(v, lo), gain), width), one);
        },
        [&](float v) { return (v - lowest) * g / span + 1.0f; });
    break;
  default: {
    const __m128 sign = _mm_set1_ps(-0.0f);
    ForEach(
        values, frames, factors,
        [&](__m128 v) {
          const __m128 centred =
              _mm_sub_ps(_mm_div_ps(_mm_mul_ps(_mm_sub_ps(v, lo), two), width), one);
          return _mm_add_ps(_mm_mul_ps(_mm_andnot_ps(sign, centred), gain), one);
        },
        [&](float v) { return std::fabs((v - lowest) * 2.0f / span - 1.0f) * g + 1.0f; });
    break;
  }
  }
}

} // namespace quorvane
