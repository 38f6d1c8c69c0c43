#include "effect/dsp/BatchDesignWide.h"

#include <immintrin.h>

namespace quorvane {
namespace wide {
namespace {

// Four designs in one AVX register.
struct Quad {
  __m256d v;
};
Quad operator+(Quad a, Quad b) {
  return {_mm256_add_pd(a.v, b.v)};
}
Quad operator-(Quad a, Quad b) {
  return {_mm256_sub_pd(a.v, b.v)};
}
Quad operator*(Quad a, Quad b) {
  return {_mm256_mul_pd(a.v, b.v)};
}
Quad operator/(Quad a, Quad b) {
  return {_mm256_div_pd(a.v, b.v)};
}
Quad operator&(Quad a, Quad b) {
  return {_mm256_and_pd(a.v, b.v)};
}
Quad operator^(Quad a, Quad b) {
  return {_mm256_xor_pd(a.v, b.v)};
}
Quad Max(Quad a, Quad b) {
  return {_mm256_max_pd(a.v, b.v)};
}
Quad Min(Quad a, Quad b) {
  return {_mm256_min_pd(a.v, b.v)};
}
Quad Greater(Quad a, Quad b) {
  return {_mm256_cmp_pd(a.v, b.v, _CMP_GT_OQ)};
}
Quad Splat(double x) {
  return {_mm256_set1_pd(x)};
}
// Where mask is set b, elsewhere a. In logic, not blendv: the compiler may
// split a blendv of a comparison into a branch per lane.
Quad Blend(Quad mask, Quad a, Quad b) {
  return {_mm256_or_pd(_mm256_and_pd(mask.v, b.v), _mm256_andnot_pd(mask.v, a.v))};
}
// a * b + c, rounded twice as in SSE2: the same bits on every processor.
Quad MulAdd(Quad a, Quad b, Quad c) {
  return a * b + c;
}
Quad Widen(__m128 four) {
  return {_mm256_cvtps_pd(four)};
}
void StoreFour(double* p, Quad x) {
  _mm256_storeu_pd(p, x.v);
}
void Spill(Quad x, double* lanes) {
  _mm256_storeu_pd(lanes, x.v);
}

#include "effect/dsp/BatchDesignKernel.h"

} // namespace

void FrequencySweep(FilterKind kind, const float* freq, float bandwidth, double rate, int count,
                    const CoefficientArrays& out) noexcept {
  SweepFrequency(kind, freq, bandwidth, rate, count, out);
}

void BandwidthSweep(FilterKind kind, float freq, const float* bandwidth, double rate, int count,
                    const CoefficientArrays& out) noexcept {
  SweepBandwidth(kind, freq, bandwidth, rate, count, out);
}

} // namespace wide
} // namespace quorvane
