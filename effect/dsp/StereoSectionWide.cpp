#include "effect/dsp/StereoSectionWide.h"

#include <cfloat>
#include <immintrin.h>

namespace quorvane {
namespace wide {
namespace {

#include "effect/dsp/SectionKernel.h"

// The eight lanes folded into four with op.
template <class Op> __m128 Fold(__m256 x, const Op& op) {
  return op(_mm256_castps256_ps128(x), _mm256_extractf128_ps(x, 1));
}

// The smallest and largest magnitudes of what a pass met. A NaN is not kept:
// it reaches the memory and stays there, which the memory's test finds.
struct Watch {
  __m256 smallest = _mm256_set1_ps(FLT_MAX);
  __m256 largest = _mm256_setzero_ps();
  void Keep(__m256 x, bool keepLargest) {
    const __m256 magnitude = _mm256_andnot_ps(_mm256_set1_ps(-0.0f), x);
    smallest = _mm256_min_ps(magnitude, smallest);
    if (keepLargest) largest = _mm256_max_ps(magnitude, largest);
  }
  bool SmallestAbove(float limit) const {
    const __m128 low = Fold(smallest, [](__m128 a, __m128 b) { return _mm_min_ps(a, b); });
    return _mm_movemask_ps(_mm_cmpgt_ps(low, _mm_set1_ps(limit))) == 15;
  }
  bool LargestAtMost(float limit) const {
    const __m128 high = Fold(largest, [](__m128 a, __m128 b) { return _mm_max_ps(a, b); });
    return _mm_movemask_ps(_mm_cmple_ps(high, _mm_set1_ps(limit))) == 15;
  }
};

// Both channels of one frame in all eight lanes, as a watch takes them.
__m256 FrameLanes(__m128 pair) {
  const __m128 twice = _mm_movelh_ps(pair, pair);
  return _mm256_insertf128_ps(_mm256_castps128_ps256(twice), twice, 1);
}

template <bool kVarying> struct Coefficients {
  Coefficients(const SectionDrive& d, int i) {
    if constexpr (kVarying) {
      gain = _mm_loaddup_pd(d.gain + i);
      a1 = _mm_loaddup_pd(d.a1 + i);
      a2 = _mm_loaddup_pd(d.a2 + i);
    } else {
      gain = _mm_set1_pd(d.coefficients.gain);
      a1 = _mm_set1_pd(d.coefficients.a1);
      a2 = _mm_set1_pd(d.coefficients.a2);
    }
  }
  __m128d gain, a1, a2;
};

// Four frames of one channel per register: [frame i .. frame i + 3]. The
// recurrence still runs a frame at a time on both channels; only the reading,
// the mix, the narrowing and the watches take four frames at once.
template <FilterKind kShape, bool kVaryingCoefficients, bool kFactorPerFrame>
SectionPass RunFour(const SectionDrive& drive, __m128d& w1Pair, __m128d& w2Pair,
                    const float* const inputs[2], float* const outputs[2], int offset, int frames,
                    __m128d* stash) {
  __m128d w1 = w1Pair, w2 = w2Pair;
  const SectionDrive d = drive;
  const float* const left = inputs[0];
  const float* const right = inputs[1];
  float* const outLeft = outputs[0];
  float* const outRight = outputs[1];
  Watch in, out;
  // One frame's memory and filtered output, both channels.
  const auto step = [&](__m128d x, int i) {
    const Coefficients<kVaryingCoefficients> c(d, i);
    const __m128d w0 = NextMemory(c.gain, c.a1, c.a2, x, w1, w2);
    const __m128d y = Filtered<kShape>(x, w0, w1, w2);
    w2 = w1;
    w1 = w0;
    return y;
  };
  // Four frames filtered, both channels, waiting for their mix.
  struct Filtered4 {
    __m256d even, odd;   // [left, right] of frames 0 and 2, of frames 1 and 3
    __m256d left, right; // the inputs
    int at;
  };
  const auto finish = [&](const Filtered4& f) {
    const int i = f.at;
    const __m256d factor =
        kFactorPerFrame ? _mm256_cvtps_pd(_mm_loadu_ps(d.factors + i)) : _mm256_set1_pd(d.factor);
    const __m256d wet = _mm256_cvtps_pd(_mm_loadu_ps(d.wets + i));
    const __m256d dry = _mm256_cvtps_pd(_mm_loadu_ps(d.drys + i));
    // (filtered * factor) * wet + dry * in, as the section computes it.
    const auto mix = [&](__m256d filtered, __m256d x) {
      return _mm256_add_pd(_mm256_mul_pd(_mm256_mul_pd(filtered, factor), wet),
                           _mm256_mul_pd(dry, x));
    };
    const __m128 narrowLeft = _mm256_cvtpd_ps(mix(_mm256_unpacklo_pd(f.even, f.odd), f.left));
    const __m128 narrowRight = _mm256_cvtpd_ps(mix(_mm256_unpackhi_pd(f.even, f.odd), f.right));
    out.Keep(_mm256_insertf128_ps(_mm256_castps128_ps256(narrowLeft), narrowRight, 1), true);
    _mm_storeu_ps(outLeft + i, narrowLeft);
    _mm_storeu_ps(outRight + i, narrowRight);
  };
  // Each four are mixed after the next four's recurrence has been issued:
  // mixed at once, they would take the units just as that recurrence needs them.
  Filtered4 waiting{};
  bool isWaiting = false;
  int k = 0;
  for (; k + 4 <= frames; k += 4) {
    const int i = offset + k;
    const __m128 l = _mm_loadu_ps(left + i), r = _mm_loadu_ps(right + i);
    in.Keep(_mm256_insertf128_ps(_mm256_castps128_ps256(l), r, 1), false);
    const __m256d wideLeft = _mm256_cvtps_pd(l), wideRight = _mm256_cvtps_pd(r);
    const __m256d even = _mm256_unpacklo_pd(wideLeft, wideRight); // frames 0 and 2
    const __m256d odd = _mm256_unpackhi_pd(wideLeft, wideRight);  // frames 1 and 3
    const __m128d x0 = _mm256_castpd256_pd128(even), x1 = _mm256_castpd256_pd128(odd);
    const __m128d x2 = _mm256_extractf128_pd(even, 1), x3 = _mm256_extractf128_pd(odd, 1);
    stash[k] = x0;
    stash[k + 1] = x1;
    stash[k + 2] = x2;
    stash[k + 3] = x3;
    const __m128d y0 = step(x0, i), y1 = step(x1, i + 1);
    const __m128d y2 = step(x2, i + 2), y3 = step(x3, i + 3);
    if (isWaiting) finish(waiting);
    waiting.even = _mm256_insertf128_pd(_mm256_castpd128_pd256(y0), y2, 1);
    waiting.odd = _mm256_insertf128_pd(_mm256_castpd128_pd256(y1), y3, 1);
    waiting.left = wideLeft;
    waiting.right = wideRight;
    waiting.at = i;
    isWaiting = true;
  }
  if (isWaiting) finish(waiting);
  for (; k < frames; ++k) {
    const int i = offset + k;
    const __m128 pair = _mm_setr_ps(left[i], right[i], 0.0f, 0.0f);
    in.Keep(FrameLanes(pair), false);
    const __m128d x = _mm_cvtps_pd(pair);
    stash[k] = x;
    const __m128d factor = _mm_set1_pd(kFactorPerFrame ? d.factors[i] : d.factor);
    const __m128d mixed = WetAndDry(_mm_mul_pd(step(x, i), factor), x, _mm_set1_pd(d.wets[i]),
                                    _mm_set1_pd(d.drys[i]));
    const __m128 narrow = _mm_cvtpd_ps(mixed);
    out.Keep(FrameLanes(narrow), true);
    _mm_store_ss(outLeft + i, narrow);
    _mm_store_ss(outRight + i, _mm_shuffle_ps(narrow, narrow, 1));
  }
  w1Pair = w1;
  w2Pair = w2;
  if (!in.SmallestAbove(kFloatSilenceBelow)) return SectionPass::InputsNotPlain;
  // A non-finite value, once in the memory, stays there to the stretch's end.
  const bool exact = out.SmallestAbove(kFloatAboveSilence) && out.LargestAtMost(FLT_MAX) &&
                     BothFinite(w1) && BothFinite(w2);
  return exact ? SectionPass::Exact : SectionPass::Tripped;
}

template <FilterKind kShape, bool kVaryingCoefficients>
SectionPass RunCoefficients(const SectionDrive& d, __m128d& w1, __m128d& w2,
                            const float* const in[2], float* const out[2], int offset, int frames,
                            __m128d* stash) {
  if (d.factors != nullptr)
    return RunFour<kShape, kVaryingCoefficients, true>(d, w1, w2, in, out, offset, frames, stash);
  return RunFour<kShape, kVaryingCoefficients, false>(d, w1, w2, in, out, offset, frames, stash);
}

template <FilterKind kShape>
SectionPass RunShape(const SectionDrive& d, __m128d& w1, __m128d& w2, const float* const in[2],
                     float* const out[2], int offset, int frames, __m128d* stash) {
  if (d.gain != nullptr)
    return RunCoefficients<kShape, true>(d, w1, w2, in, out, offset, frames, stash);
  return RunCoefficients<kShape, false>(d, w1, w2, in, out, offset, frames, stash);
}

} // namespace

SectionPass RunMixedPlain(FilterKind shape, const SectionDrive& drive, __m128d& w1, __m128d& w2,
                          const float* const inputs[2], float* const outputs[2], int offset,
                          int frames, __m128d* stash) noexcept {
  switch (shape) {
  case FilterKind::Lowpass:
    return RunShape<FilterKind::Lowpass>(drive, w1, w2, inputs, outputs, offset, frames, stash);
  case FilterKind::Highpass:
    return RunShape<FilterKind::Highpass>(drive, w1, w2, inputs, outputs, offset, frames, stash);
  default:
    return RunShape<FilterKind::Bandpass>(drive, w1, w2, inputs, outputs, offset, frames, stash);
  }
}

} // namespace wide
} // namespace quorvane
