#include "effect/dsp/BatchDesign.h"

#include <emmintrin.h>

namespace quorvane {
namespace {

// tan(y) = y + y z P(z) / Q(z), z = y^2, for 0 <= y <= pi/4: a minimax
// rational approximation within 2 units in the last place there.
constexpr double kP0 = -1.30936939181383777646e4;
constexpr double kP1 = 1.15351664838587416140e6;
constexpr double kP2 = -1.79565251976484877988e7;
constexpr double kQ0 = 1.36812963470692954678e4;
constexpr double kQ1 = -1.32089234440210967447e6;
constexpr double kQ2 = 2.50083801823357915839e7;
constexpr double kQ3 = -5.38695755929454629881e7;

constexpr double kPi = 3.141592653589793;
constexpr double kQuarterPi = 0.7853981633974483;
// pi/2 in two parts: above pi/4 the reduction pi/2 - w is then exact to the
// last bit of w (w and the first part are within a factor two).
constexpr double kHalfPiHigh = 1.5707963267948966;
constexpr double kHalfPiLow = 6.123233995736766e-17;

// Two floats of a run as doubles: frames i and i + 1, or frame i twice at
// the end of an odd run.
__m128d Widened(const float* p, int i, int count) {
  const __m128 pair = i + 1 < count
                          ? _mm_loadl_pi(_mm_setzero_ps(), reinterpret_cast<const __m64*>(p + i))
                          : _mm_set1_ps(p[i]);
  return _mm_cvtps_pd(pair);
}

__m128d Damping(__m128d q) {
  return _mm_max_pd(q, _mm_set1_pd(kLowestDamping)); // a NaN damping becomes the lowest
}

// The damping q = bandwidth * 15, formed in single precision.
__m128d DampingOf(const float* bandwidth, int i, int count) {
  const __m128 pair =
      i + 1 < count ? _mm_loadl_pi(_mm_setzero_ps(), reinterpret_cast<const __m64*>(bandwidth + i))
                    : _mm_set1_ps(bandwidth[i]);
  return Damping(_mm_cvtps_pd(_mm_mul_ps(pair, _mm_set1_ps(kDampingPerBandwidth))));
}

struct Design {
  explicit Design(double rate)
      : lowestHz(_mm_set1_pd(kLowestDesignHz)), highestHz(_mm_set1_pd(rate * kHighestDesignRatio)),
        radiansPerHz(_mm_set1_pd(kPi / rate)) {}

  // The cotangent of the prewarped frequency as a / b, for a pair of
  // frequencies in Hz: above pi/4 it is tan(pi/2 - w), below 1 / tan(w).
  void Cotangent(__m128d hz, __m128d& a, __m128d& b) const {
    hz = _mm_min_pd(_mm_max_pd(hz, lowestHz), highestHz);
    const __m128d w = _mm_mul_pd(hz, radiansPerHz);
    const __m128d upper = _mm_cmpgt_pd(w, _mm_set1_pd(kQuarterPi));
    const __m128d reduced =
        _mm_add_pd(_mm_sub_pd(_mm_set1_pd(kHalfPiHigh), w), _mm_set1_pd(kHalfPiLow));
    const __m128d y = _mm_or_pd(_mm_and_pd(upper, reduced), _mm_andnot_pd(upper, w));
    const __m128d z = _mm_mul_pd(y, y);
    __m128d p = _mm_add_pd(_mm_mul_pd(_mm_set1_pd(kP0), z), _mm_set1_pd(kP1));
    p = _mm_add_pd(_mm_mul_pd(p, z), _mm_set1_pd(kP2));
    __m128d d = _mm_add_pd(z, _mm_set1_pd(kQ0));
    d = _mm_add_pd(_mm_mul_pd(d, z), _mm_set1_pd(kQ1));
    d = _mm_add_pd(_mm_mul_pd(d, z), _mm_set1_pd(kQ2));
    d = _mm_add_pd(_mm_mul_pd(d, z), _mm_set1_pd(kQ3));
    const __m128d n = _mm_add_pd(_mm_mul_pd(y, d), _mm_mul_pd(_mm_mul_pd(y, z), p));
    // Swaps n and d where upper is set.
    const __m128d swap = _mm_and_pd(upper, _mm_xor_pd(n, d));
    a = _mm_xor_pd(d, swap);
    b = _mm_xor_pd(n, swap);
  }

  __m128d lowestHz, highestHz, radiansPerHz;
};

void Store(const CoefficientArrays& out, int i, int count, __m128d gain, __m128d a1, __m128d a2) {
  _mm_storel_pd(&out.gain[i], gain);
  _mm_storel_pd(&out.a1[i], a1);
  _mm_storel_pd(&out.a2[i], a2);
  if (i + 1 < count) {
    _mm_storeh_pd(&out.gain[i + 1], gain);
    _mm_storeh_pd(&out.a1[i + 1], a1);
    _mm_storeh_pd(&out.a2[i + 1], a2);
  }
}

double UsableRate(double rate) {
  return IsUsableRate(rate) ? rate : kFallbackDesignRate;
}

} // namespace

// With k = a/b, r = 1 / ((q + k) k + 1) = b^2 / den: every coefficient
// shares the one division.
void DesignFrequencySweep(int filterType, const float* freq, float bandwidth, double rate,
                          int count, const CoefficientArrays& out) noexcept {
  const Design design(UsableRate(rate));
  const bool bandpass = filterType == kFilterBandpass;
  const __m128d q = Damping(_mm_set1_pd(static_cast<double>(bandwidth * kDampingPerBandwidth)));
  for (int i = 0; i < count; i += 2) {
    __m128d a, b;
    design.Cotangent(Widened(freq, i, count), a, b);
    const __m128d bb = _mm_mul_pd(b, b);
    const __m128d qb = _mm_mul_pd(q, b);
    const __m128d inv =
        _mm_div_pd(_mm_set1_pd(1.0), _mm_add_pd(_mm_mul_pd(_mm_add_pd(qb, a), a), bb));
    const __m128d a1 =
        _mm_mul_pd(_mm_mul_pd(_mm_set1_pd(2.0), _mm_sub_pd(bb, _mm_mul_pd(a, a))), inv);
    const __m128d a2 = _mm_mul_pd(_mm_add_pd(_mm_mul_pd(_mm_sub_pd(a, qb), a), bb), inv);
    const __m128d gain = bandpass ? _mm_mul_pd(_mm_mul_pd(qb, a), inv) : _mm_mul_pd(bb, inv);
    Store(out, i, count, gain, a1, a2);
  }
}

void DesignBandwidthSweep(int filterType, float freq, const float* bandwidth, double rate,
                          int count, const CoefficientArrays& out) noexcept {
  const Design design(UsableRate(rate));
  const bool bandpass = filterType == kFilterBandpass;
  __m128d a, b;
  design.Cotangent(_mm_set1_pd(static_cast<double>(freq)), a, b);
  const __m128d aa = _mm_mul_pd(a, a), bb = _mm_mul_pd(b, b), ab = _mm_mul_pd(a, b);
  const __m128d sum = _mm_add_pd(aa, bb);
  const __m128d a1Numerator = _mm_mul_pd(_mm_set1_pd(2.0), _mm_sub_pd(bb, aa));
  for (int i = 0; i < count; i += 2) {
    const __m128d qab = _mm_mul_pd(DampingOf(bandwidth, i, count), ab);
    const __m128d inv = _mm_div_pd(_mm_set1_pd(1.0), _mm_add_pd(qab, sum));
    const __m128d a1 = _mm_mul_pd(a1Numerator, inv);
    const __m128d a2 = _mm_mul_pd(_mm_sub_pd(sum, qab), inv);
    const __m128d gain = _mm_mul_pd(bandpass ? qab : bb, inv);
    Store(out, i, count, gain, a1, a2);
  }
}

} // namespace quorvane
