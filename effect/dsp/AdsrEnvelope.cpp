#include "effect/dsp/AdsrEnvelope.h"

#include "effect/dsp/AdsrEnvelopeWide.h"
#include "effect/dsp/WideUnits.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <emmintrin.h>

namespace quorvane {
namespace {

// True when level + k * step is exact in double for every k up to frames:
// the running sum then equals the closed form to the last bit, and no
// sample has to wait for the one before it. The step is a widened float, so
// it is a whole multiple of its float's last place; the level has to be
// one too, and no sum may need more than the double's 53 bits above it.
bool SumsExact(double level, double step, int frames) {
  const double magnitude = std::fabs(step);
  if (!(magnitude > 0.0) || !(magnitude <= 1.0)) return false;
  // The power of two at or below the step (a widened float is a normal
  // double), then its float's last place: all exact.
  uint64_t bits;
  std::memcpy(&bits, &magnitude, sizeof bits);
  bits &= 0xFFF0000000000000u;
  double power;
  std::memcpy(&power, &bits, sizeof power);
  const double unit = power * 0x1p-23;
  if (!(std::fabs(level) + frames * magnitude < unit * 0x1p53)) return false;
  const double units = level / unit;
  return units == std::floor(units);
}

// Where a segment ends.
struct Reaches {
  static constexpr bool kRising = true;
  double limit;
  bool operator()(double x) const { return x >= limit; }
};
struct FallsTo {
  static constexpr bool kRising = false;
  double limit;
  bool operator()(double x) const { return !(x > limit); }
};

// Levels start + 1 * step, start + 2 * step, ... into levels, eight at a
// time while none of the eight ends the segment (reaches limit when rising,
// falls to it otherwise); answers how many it wrote. Every sum is exact, so
// one stride on from the last eight is the closed form's own value; and the
// levels move one way, so only the last can hold the end.
int RampLevels(double start, double step, bool rising, double limit, float* levels, int count) {
  const __m128d origin = _mm_set1_pd(start), delta = _mm_set1_pd(step);
  __m128d a = _mm_add_pd(origin, _mm_mul_pd(_mm_set_pd(2.0, 1.0), delta));
  __m128d b = _mm_add_pd(origin, _mm_mul_pd(_mm_set_pd(4.0, 3.0), delta));
  __m128d c = _mm_add_pd(origin, _mm_mul_pd(_mm_set_pd(6.0, 5.0), delta));
  __m128d d = _mm_add_pd(origin, _mm_mul_pd(_mm_set_pd(8.0, 7.0), delta));
  const __m128d stride = _mm_set1_pd(8.0 * step), bound = _mm_set1_pd(limit);
  int i = 0;
  for (; i + 8 <= count; i += 8) {
    const __m128d ended = rising ? _mm_cmpge_pd(d, bound) : _mm_cmpngt_pd(d, bound);
    if (_mm_movemask_pd(ended) != 0) break;
    _mm_storeu_ps(levels + i, _mm_movelh_ps(_mm_cvtpd_ps(a), _mm_cvtpd_ps(b)));
    _mm_storeu_ps(levels + i + 4, _mm_movelh_ps(_mm_cvtpd_ps(c), _mm_cvtpd_ps(d)));
    a = _mm_add_pd(a, stride);
    b = _mm_add_pd(b, stride);
    c = _mm_add_pd(c, stride);
    d = _mm_add_pd(d, stride);
  }
  return i;
}

// One straight segment from levels[i]: the level moves by step a sample
// until ends(level) holds, which leaves that sample for the caller to
// write (i then at it), or the frames run out. Answers whether it ended.
template <class Ends>
bool Segment(double& level, double step, const Ends& ends, float* levels, int& i, int frames) {
  if (SumsExact(level, step, frames - i)) {
    const double start = level;
    const bool rising = Ends::kRising;
    const int ramped =
        WideUnitsPresent()
            ? wide::RampLevels(start, step, rising, ends.limit, levels + i, frames - i)
            : RampLevels(start, step, rising, ends.limit, levels + i, frames - i);
    i += ramped;
    int k = ramped;
    for (; i < frames; ++i) {
      level = start + ++k * step;
      if (ends(level)) return true;
      levels[i] = static_cast<float>(level);
    }
    level = start + k * step;
    return false;
  }
  for (; i < frames; ++i) {
    level += step;
    if (ends(level)) return true;
    levels[i] = static_cast<float>(level);
  }
  return false;
}

} // namespace

void AdsrEnvelope::Render(float* levels, int frames) noexcept {
  double l = level;
  EnvStage s = stage;
  int i = 0;
  while (i < frames) {
    if (s == EnvStage::Attack) {
      if (Segment(l, attackStep, Reaches{1.0}, levels, i, frames)) {
        l = 1.0;
        s = EnvStage::Decay;
        levels[i++] = 1.0f;
      }
    } else if (s == EnvStage::Decay) {
      if (Segment(l, -static_cast<double>(decayStep), FallsTo{sustainLevel}, levels, i, frames)) {
        l = sustainLevel;
        s = sustainLevel > 0.0f ? EnvStage::Sustain : EnvStage::Idle;
        levels[i++] = static_cast<float>(l);
      }
    } else if (s == EnvStage::Release) {
      // A release step of zero ends the release at once.
      const double bottom = releaseStep == 0.0f ? INFINITY : 0.0;
      if (Segment(l, -static_cast<double>(releaseStep), FallsTo{bottom}, levels, i, frames)) {
        l = 0.0;
        s = EnvStage::Idle;
        levels[i++] = 0.0f;
      }
    } else {
      const float resting = static_cast<float>(l);
      for (; i < frames; ++i)
        levels[i] = resting;
    }
  }
  level = l;
  stage = s;
}

} // namespace quorvane
