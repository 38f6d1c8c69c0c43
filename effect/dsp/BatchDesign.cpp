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

__m128d Select(__m128d mask, __m128d ifSet, __m128d ifClear) {
  return _mm_or_pd(_mm_and_pd(mask, ifSet), _mm_andnot_pd(mask, ifClear));
}

__m128d Widen(float low, float high) {
  return _mm_set_pd(static_cast<double>(high), static_cast<double>(low));
}

} // namespace

void DesignSections(int filterType, const float* freq, const float* bandwidth, double rate,
                    int count, const CoefficientArrays& out) noexcept {
  if (!IsUsableRate(rate)) rate = kFallbackDesignRate;
  const bool bandpass = filterType == kFilterBandpass;
  const __m128d lowestDamping = _mm_set1_pd(kLowestDamping);
  const __m128d lowestHz = _mm_set1_pd(kLowestDesignHz);
  const __m128d highestHz = _mm_set1_pd(rate * kHighestDesignRatio);
  const __m128d radiansPerHz = _mm_set1_pd(kPi / rate);
  const __m128d one = _mm_set1_pd(1.0);
  const __m128d two = _mm_set1_pd(2.0);

  for (int i = 0; i < count; i += 2) {
    // An odd count designs its last frame twice and stores it once.
    const int j = i + 1 < count ? i + 1 : i;
    __m128d q = Widen(bandwidth[i] * kDampingPerBandwidth, bandwidth[j] * kDampingPerBandwidth);
    q = _mm_max_pd(q, lowestDamping); // a NaN damping becomes the lowest
    __m128d hz = _mm_max_pd(Widen(freq[i], freq[j]), lowestHz);
    hz = _mm_min_pd(hz, highestHz);
    const __m128d w = _mm_mul_pd(hz, radiansPerHz);

    // Above pi/4 the cotangent is tan(pi/2 - w); below, 1 / tan(w). Either
    // way it is a/b with the approximation's numerator and denominator.
    const __m128d upper = _mm_cmpgt_pd(w, _mm_set1_pd(kQuarterPi));
    const __m128d reduced =
        _mm_add_pd(_mm_sub_pd(_mm_set1_pd(kHalfPiHigh), w), _mm_set1_pd(kHalfPiLow));
    const __m128d y = Select(upper, reduced, w);
    const __m128d z = _mm_mul_pd(y, y);
    __m128d p = _mm_add_pd(_mm_mul_pd(_mm_set1_pd(kP0), z), _mm_set1_pd(kP1));
    p = _mm_add_pd(_mm_mul_pd(p, z), _mm_set1_pd(kP2));
    __m128d d = _mm_add_pd(z, _mm_set1_pd(kQ0));
    d = _mm_add_pd(_mm_mul_pd(d, z), _mm_set1_pd(kQ1));
    d = _mm_add_pd(_mm_mul_pd(d, z), _mm_set1_pd(kQ2));
    d = _mm_add_pd(_mm_mul_pd(d, z), _mm_set1_pd(kQ3));
    const __m128d n = _mm_add_pd(_mm_mul_pd(y, d), _mm_mul_pd(_mm_mul_pd(y, z), p));
    const __m128d a = Select(upper, n, d);
    const __m128d b = Select(upper, d, n);

    // With k = a/b, r = 1 / ((q + k) k + 1) = b^2 / den: every coefficient
    // shares the one division.
    const __m128d bb = _mm_mul_pd(b, b);
    const __m128d den = _mm_add_pd(_mm_mul_pd(_mm_add_pd(_mm_mul_pd(q, b), a), a), bb);
    const __m128d inv = _mm_div_pd(one, den);
    const __m128d a1 = _mm_mul_pd(_mm_mul_pd(two, _mm_sub_pd(bb, _mm_mul_pd(a, a))), inv);
    const __m128d a2 =
        _mm_mul_pd(_mm_add_pd(_mm_mul_pd(_mm_sub_pd(a, _mm_mul_pd(q, b)), a), bb), inv);
    const __m128d gain =
        bandpass ? _mm_mul_pd(_mm_mul_pd(_mm_mul_pd(q, a), b), inv) : _mm_mul_pd(bb, inv);

    _mm_storel_pd(&out.gain[i], gain);
    _mm_storel_pd(&out.a1[i], a1);
    _mm_storel_pd(&out.a2[i], a2);
    if (j != i) {
      _mm_storeh_pd(&out.gain[j], gain);
      _mm_storeh_pd(&out.a1[j], a1);
      _mm_storeh_pd(&out.a2[j], a2);
    }
  }
}

} // namespace quorvane
