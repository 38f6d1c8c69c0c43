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

// Division by the range's span. By a power of two, multiplying by its
// reciprocal is exact and gives the same bits for a fraction of the cost.
struct Divided {
  float span;
  __m128 operator()(__m128 x) const { return _mm_div_ps(x, _mm_set1_ps(span)); }
  float operator()(float x) const { return x / span; }
};
struct Scaled {
  float reciprocal;
  __m128 operator()(__m128 x) const { return _mm_mul_ps(x, _mm_set1_ps(reciprocal)); }
  float operator()(float x) const { return x * reciprocal; }
};

// The factors with the division by the span done by over.
template <class Over>
void FactorsOver(const TargetRouting& routing, const float* values, int frames, float* factors,
                 const Over& over) {
  const float g = routing.compGain - 1.0f, lowest = routing.lowest, highest = routing.highest;
  const __m128 gain = _mm_set1_ps(g), one = _mm_set1_ps(1.0f);
  const __m128 lo = _mm_set1_ps(lowest), hi = _mm_set1_ps(highest), two = _mm_set1_ps(2.0f);
  switch (routing.compMode) {
  case CompMode::Left:
    ForEach(
        values, frames, factors,
        [&](__m128 v) { return _mm_add_ps(over(_mm_mul_ps(_mm_sub_ps(hi, v), gain)), one); },
        [&](float v) { return over((highest - v) * g) + 1.0f; });
    break;
  case CompMode::Right:
    ForEach(
        values, frames, factors,
        [&](__m128 v) { return _mm_add_ps(over(_mm_mul_ps(_mm_sub_ps(v, lo), gain)), one); },
        [&](float v) { return over((v - lowest) * g) + 1.0f; });
    break;
  default: {
    const __m128 sign = _mm_set1_ps(-0.0f);
    ForEach(
        values, frames, factors,
        [&](__m128 v) {
          const __m128 centred = _mm_sub_ps(over(_mm_mul_ps(_mm_sub_ps(v, lo), two)), one);
          return _mm_add_ps(_mm_mul_ps(_mm_andnot_ps(sign, centred), gain), one);
        },
        [&](float v) { return std::fabs(over((v - lowest) * 2.0f) - 1.0f) * g + 1.0f; });
    break;
  }
  }
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
  const float span = highest - lowest;
  int exponent;
  if (std::frexp(span, &exponent) == 0.5f && std::isnormal(span) && std::isnormal(1.0f / span))
    FactorsOver(*this, values, frames, factors, Scaled{1.0f / span});
  else
    FactorsOver(*this, values, frames, factors, Divided{span});
}

} // namespace quorvane
