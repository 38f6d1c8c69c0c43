#include "effect/dsp/AdsrEnvelopeWide.h"

#include <immintrin.h>

namespace quorvane {
namespace wide {

// As the envelope's own loop: one stride on from the last eight is the
// closed form's value, and only the last of the eight can hold the end.
int RampLevels(double start, double step, bool rising, double limit, float* levels,
               int count) noexcept {
  const __m256d origin = _mm256_set1_pd(start), delta = _mm256_set1_pd(step);
  __m256d a = _mm256_add_pd(origin, _mm256_mul_pd(_mm256_set_pd(4.0, 3.0, 2.0, 1.0), delta));
  __m256d b = _mm256_add_pd(origin, _mm256_mul_pd(_mm256_set_pd(8.0, 7.0, 6.0, 5.0), delta));
  const __m256d stride = _mm256_set1_pd(8.0 * step), bound = _mm256_set1_pd(limit);
  int i = 0;
  for (; i + 8 <= count; i += 8) {
    const __m256d ended =
        rising ? _mm256_cmp_pd(b, bound, _CMP_GE_OQ) : _mm256_cmp_pd(b, bound, _CMP_NGT_UQ);
    if (_mm256_movemask_pd(ended) != 0) break;
    _mm_storeu_ps(levels + i, _mm256_cvtpd_ps(a));
    _mm_storeu_ps(levels + i + 4, _mm256_cvtpd_ps(b));
    a = _mm256_add_pd(a, stride);
    b = _mm256_add_pd(b, stride);
  }
  return i;
}

} // namespace wide
} // namespace quorvane
