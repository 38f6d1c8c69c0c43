#include "effect/dsp/BatchDesign.h"

#include "effect/dsp/BatchDesignWide.h"
#include "effect/dsp/WideUnits.h"

#include <emmintrin.h>

namespace quorvane {
namespace {

// Four designs in two SSE2 registers, every step written once for both: the
// approximation is one long chain, and two independent ones side by side
// keep the arithmetic units busy.
struct Quad {
  __m128d v[2];
};
Quad operator+(Quad a, Quad b) {
  return {{_mm_add_pd(a.v[0], b.v[0]), _mm_add_pd(a.v[1], b.v[1])}};
}
Quad operator-(Quad a, Quad b) {
  return {{_mm_sub_pd(a.v[0], b.v[0]), _mm_sub_pd(a.v[1], b.v[1])}};
}
Quad operator*(Quad a, Quad b) {
  return {{_mm_mul_pd(a.v[0], b.v[0]), _mm_mul_pd(a.v[1], b.v[1])}};
}
Quad operator/(Quad a, Quad b) {
  return {{_mm_div_pd(a.v[0], b.v[0]), _mm_div_pd(a.v[1], b.v[1])}};
}
Quad operator&(Quad a, Quad b) {
  return {{_mm_and_pd(a.v[0], b.v[0]), _mm_and_pd(a.v[1], b.v[1])}};
}
Quad operator^(Quad a, Quad b) {
  return {{_mm_xor_pd(a.v[0], b.v[0]), _mm_xor_pd(a.v[1], b.v[1])}};
}
Quad Max(Quad a, Quad b) {
  return {{_mm_max_pd(a.v[0], b.v[0]), _mm_max_pd(a.v[1], b.v[1])}};
}
Quad Min(Quad a, Quad b) {
  return {{_mm_min_pd(a.v[0], b.v[0]), _mm_min_pd(a.v[1], b.v[1])}};
}
Quad Greater(Quad a, Quad b) {
  return {{_mm_cmpgt_pd(a.v[0], b.v[0]), _mm_cmpgt_pd(a.v[1], b.v[1])}};
}
Quad Splat(double x) {
  return {{_mm_set1_pd(x), _mm_set1_pd(x)}};
}
// Where mask is set b, elsewhere a.
Quad Blend(Quad mask, Quad a, Quad b) {
  return {{_mm_or_pd(_mm_and_pd(mask.v[0], b.v[0]), _mm_andnot_pd(mask.v[0], a.v[0])),
           _mm_or_pd(_mm_and_pd(mask.v[1], b.v[1]), _mm_andnot_pd(mask.v[1], a.v[1]))}};
}
// a * b + c, rounded twice (no fused multiply-add: every processor gives the
// same bits).
Quad MulAdd(Quad a, Quad b, Quad c) {
  return a * b + c;
}
Quad Widen(__m128 four) {
  return {{_mm_cvtps_pd(four), _mm_cvtps_pd(_mm_movehl_ps(four, four))}};
}
void StoreFour(double* p, Quad x) {
  _mm_storeu_pd(p, x.v[0]);
  _mm_storeu_pd(p + 2, x.v[1]);
}
void Spill(Quad x, double* lanes) {
  StoreFour(lanes, x);
}

#include "effect/dsp/BatchDesignKernel.h"

bool UseWide(DesignUnits units) {
  return units == DesignUnits::Widest && WideUnitsPresent();
}

} // namespace

void DesignFrequencySweep(FilterKind kind, const float* freq, float bandwidth, double rate,
                          int count, const CoefficientArrays& out, DesignUnits units) noexcept {
  if (UseWide(units))
    wide::FrequencySweep(kind, freq, bandwidth, rate, count, out);
  else
    SweepFrequency(kind, freq, bandwidth, rate, count, out);
}

void DesignBandwidthSweep(FilterKind kind, float freq, const float* bandwidth, double rate,
                          int count, const CoefficientArrays& out, DesignUnits units) noexcept {
  if (UseWide(units))
    wide::BandwidthSweep(kind, freq, bandwidth, rate, count, out);
  else
    SweepBandwidth(kind, freq, bandwidth, rate, count, out);
}

} // namespace quorvane
