#include "effect/dsp/StereoSection.h"

#include "effect/dsp/StereoSectionWide.h"
#include "effect/dsp/WideUnits.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <emmintrin.h>
#include <type_traits>

namespace quorvane {
namespace {

// Frames run between two checks; a stretch redone costs at most this many.
constexpr int kStretch = 64;
// Below this, input and memory count as silence (see the header).
constexpr double kSilence = 1e-15;

// Both channels of one frame travel together: [left, right].
__m128d Load(const double* const in[2], int i) {
  return _mm_set_pd(in[1][i], in[0][i]);
}
__m128d Load(const float* const in[2], int i) {
  return _mm_set_pd(static_cast<double>(in[1][i]), static_cast<double>(in[0][i]));
}

// Two frames of one channel travel together too: [frame i, frame i + 1].
// The fast pass mixes and writes that way, which needs no broadcast of
// per-frame values and no shuffle to split the channels.
__m128d LoadPair(const double* p) {
  return _mm_loadu_pd(p);
}
__m128d LoadPair(const float* p) {
  double both;
  std::memcpy(&both, p, sizeof both);
  return _mm_cvtps_pd(_mm_castpd_ps(_mm_set_sd(both)));
}

#include "effect/dsp/SectionKernel.h"

// Zero for a non-finite value or one of magnitude 1e-15 or less (-0 included).
__m128d Clean(__m128d x) {
  const __m128d m = Magnitude(x);
  const __m128d keep =
      _mm_and_pd(_mm_cmpgt_pd(m, _mm_set1_pd(kSilence)), _mm_cmple_pd(m, _mm_set1_pd(DBL_MAX)));
  return _mm_and_pd(x, keep);
}

double Clean(double x) {
  const double magnitude = std::fabs(x);
  return magnitude > kSilence && magnitude <= DBL_MAX ? x : 0.0;
}

// The magnitude, or a NaN for an exact zero, which the running minimum skips.
__m128d NonZeroMagnitude(__m128d x) {
  return _mm_or_pd(Magnitude(x), _mm_cmpeq_pd(x, _mm_setzero_pd()));
}

bool BothAbove(__m128d x, double limit) {
  return _mm_movemask_pd(_mm_cmpgt_pd(x, _mm_set1_pd(limit))) == 3;
}

template <FilterKind kShape> double Filtered(double in, double w0, double w1, double w2) {
  if (kShape == FilterKind::Lowpass) return w0 + 2.0 * w1 + w2;
  if (kShape == FilterKind::Highpass) return in - w0 - 2.0 * w1 - w2;
  return w0 - w2;
}

// How a stretch mixes: from per-frame arrays, or fixed values, of which the
// commonest need fewer operations (exactly: x * 1 is x, and y + 0 * in is y
// but for a zero y, which the output checks send to the careful loop).
enum class MixKind {
  Varying,          // factor, wet and dry per frame
  VaryingMix,       // wet and dry per frame, the fixed factor
  VaryingFactor,    // factor per frame
  VaryingFactorWet, // factor per frame, wet 1, dry 0
  General,
  UnitFactor, // factor 1
  Wet,        // wet 1, dry 0
  PureWet,    // factor 1, wet 1, dry 0
};

constexpr bool FactorPerFrame(MixKind k) {
  return k == MixKind::Varying || k == MixKind::VaryingFactor || k == MixKind::VaryingFactorWet;
}
constexpr bool WetOnly(MixKind k) {
  return k == MixKind::VaryingFactorWet || k == MixKind::Wet || k == MixKind::PureWet;
}
constexpr bool UnitFactor(MixKind k) {
  return k == MixKind::UnitFactor || k == MixKind::PureWet;
}
constexpr bool MixPerFrame(MixKind k) {
  return k == MixKind::Varying || k == MixKind::VaryingMix;
}

template <bool kVarying> struct Coefficients {
  template <class Drive> Coefficients(const Drive& d, int i) {
    if constexpr (kVarying) {
      gain = d.gain[i];
      a1 = d.a1[i];
      a2 = d.a2[i];
    } else {
      gain = d.coefficients.gain;
      a1 = d.coefficients.a1;
      a2 = d.coefficients.a2;
    }
  }
  // The memory's next value for input x.
  __m128d Next(__m128d x, __m128d w1, __m128d w2) const {
    return NextMemory(_mm_set1_pd(gain), _mm_set1_pd(a1), _mm_set1_pd(a2), x, w1, w2);
  }
  double gain, a1, a2;
};

// (filtered * factor) * wet + dry * in, as the careful loop computes it.
template <MixKind kMix>
__m128d Mixed(__m128d filtered, __m128d in, __m128d factor, __m128d wet, __m128d dry) {
  const __m128d scaled = UnitFactor(kMix) ? filtered : _mm_mul_pd(filtered, factor);
  if (WetOnly(kMix)) return scaled;
  return WetAndDry(scaled, in, wet, dry);
}

template <MixKind kMix> struct Mix {
  template <class Drive> Mix(const Drive& d, int i) {
    if constexpr (FactorPerFrame(kMix))
      factor = d.factors[i];
    else
      factor = d.factor;
    if constexpr (MixPerFrame(kMix)) {
      wet = d.wets[i];
      dry = d.drys[i];
    } else {
      wet = d.wet;
      dry = d.dry;
    }
  }
  __m128d Out(__m128d filtered, __m128d in) const {
    return Mixed<kMix>(filtered, in, _mm_set1_pd(factor), _mm_set1_pd(wet), _mm_set1_pd(dry));
  }
  double factor, wet, dry;
};

// The mix of two frames of one channel.
template <MixKind kMix> struct MixPair {
  template <class Drive> MixPair(const Drive& d, int i) {
    if constexpr (FactorPerFrame(kMix))
      factor = LoadPair(d.factors + i);
    else
      factor = _mm_set1_pd(d.factor);
    if constexpr (MixPerFrame(kMix)) {
      wet = LoadPair(d.wets + i);
      dry = LoadPair(d.drys + i);
    } else {
      wet = _mm_set1_pd(d.wet);
      dry = _mm_set1_pd(d.dry);
    }
  }
  __m128d Out(__m128d filtered, __m128d in) const {
    return Mixed<kMix>(filtered, in, factor, wet, dry);
  }
  __m128d factor, wet, dry;
};

// The mix of a drive with no per-frame arrays.
MixKind FixedMixKindOf(const FixedDrive& d) {
  const bool wetOnly = d.wet == 1.0f && d.dry == 0.0f;
  if (d.factor != 1.0f) return wetOnly ? MixKind::Wet : MixKind::General;
  return wetOnly ? MixKind::PureWet : MixKind::UnitFactor;
}

// The widest float at or below 1e-15: a float input above it widens to a
// double above 1e-15.
float FloatAtMost(double x) {
  float f = static_cast<float>(x);
  if (static_cast<double>(f) > x) f = std::nextafter(f, 0.0f);
  return f;
}

// An input is plain when it needs no cleaning and keeps the section far
// from overflow: above 1e-15 in magnitude and, for doubles, at most 1e300
// (no float comes near). A stretch of plain inputs keeps its memory and
// outputs finite unless its memory shows otherwise.
constexpr double kLargestPlain = 1e300;

template <class Sample> struct PlainInputs {
  static constexpr bool kBounded = sizeof(Sample) == sizeof(double);
  // Inputs whose smallest and largest magnitudes per channel are these.
  static bool Plain(__m128d smallest, __m128d largest) {
    const bool above = BothAbove(smallest, kSilence);
    return kBounded
               ? above && _mm_movemask_pd(_mm_cmple_pd(largest, _mm_set1_pd(kLargestPlain))) == 3
               : above;
  }
  // Both channels of one frame, widened.
  static bool Plain(__m128d x) { return Plain(Magnitude(x), Magnitude(x)); }
};

// True when every input of the stretch is plain. Several running minima, so
// that no one of them holds up the loop.
bool InputsPlain(const float* const in[2], int offset, int frames) {
  const float* left = in[0] + offset;
  const float* right = in[1] + offset;
  const __m128 sign = _mm_set1_ps(-0.0f);
  __m128 a = _mm_set1_ps(FLT_MAX), b = a, c = a, d = a;
  int i = 0;
  for (; i + 8 <= frames; i += 8) {
    a = _mm_min_ps(_mm_andnot_ps(sign, _mm_loadu_ps(left + i)), a);
    b = _mm_min_ps(_mm_andnot_ps(sign, _mm_loadu_ps(right + i)), b);
    c = _mm_min_ps(_mm_andnot_ps(sign, _mm_loadu_ps(left + i + 4)), c);
    d = _mm_min_ps(_mm_andnot_ps(sign, _mm_loadu_ps(right + i + 4)), d);
  }
  alignas(16) float lanes[4];
  _mm_store_ps(lanes, _mm_min_ps(_mm_min_ps(a, b), _mm_min_ps(c, d)));
  float smallest = std::min(std::min(lanes[0], lanes[1]), std::min(lanes[2], lanes[3]));
  for (; i < frames; ++i)
    smallest = std::min({smallest, std::fabs(left[i]), std::fabs(right[i])});
  return smallest > kFloatSilenceBelow;
}

bool InputsPlain(const double* const in[2], int offset, int frames) {
  const double* left = in[0] + offset;
  const double* right = in[1] + offset;
  __m128d low = _mm_set1_pd(DBL_MAX), lowToo = low, high = _mm_setzero_pd(), highToo = high;
  int i = 0;
  for (; i + 2 <= frames; i += 2) {
    const __m128d l = Magnitude(_mm_loadu_pd(left + i)), r = Magnitude(_mm_loadu_pd(right + i));
    low = _mm_min_pd(l, low);
    lowToo = _mm_min_pd(r, lowToo);
    high = _mm_max_pd(l, high);
    highToo = _mm_max_pd(r, highToo);
  }
  alignas(16) double lows[2], highs[2];
  _mm_store_pd(lows, _mm_min_pd(low, lowToo));
  _mm_store_pd(highs, _mm_max_pd(high, highToo));
  double smallest = std::min(lows[0], lows[1]), largest = std::max(highs[0], highs[1]);
  for (; i < frames; ++i) {
    smallest = std::min({smallest, std::fabs(left[i]), std::fabs(right[i])});
    largest = std::max({largest, std::fabs(left[i]), std::fabs(right[i])});
  }
  return smallest > kSilence && largest <= kLargestPlain;
}

// What the fast pass keeps of its outputs, to tell at the end of a stretch
// that none needed cleaning: above 1e-15 in magnitude and finite.
struct DoubleWatch {
  __m128d smallest = _mm_set1_pd(DBL_MAX);
  __m128d largest = _mm_setzero_pd();
  void Keep(__m128d y) {
    const __m128d magnitude = Magnitude(y);
    smallest = _mm_min_pd(magnitude, smallest);
    largest = _mm_max_pd(magnitude, largest);
  }
  bool Plain() const {
    return BothAbove(smallest, kSilence) &&
           _mm_movemask_pd(_mm_cmple_pd(largest, _mm_set1_pd(DBL_MAX))) == 3;
  }
};

// The same told from the narrowed floats, four at a time. The smallest
// float above 1e-15 has to be passed: a double at or below 1e-15 may round
// up to it. A float beyond the range is infinite.
float FloatAbove(double x) {
  float f = static_cast<float>(x);
  if (static_cast<double>(f) <= x) f = std::nextafter(f, INFINITY);
  return f;
}

struct FloatWatch {
  __m128 smallest = _mm_set1_ps(FLT_MAX);
  __m128 largest = _mm_setzero_ps();
  void Keep(__m128 y) {
    const __m128 magnitude = _mm_andnot_ps(_mm_set1_ps(-0.0f), y);
    smallest = _mm_min_ps(magnitude, smallest);
    largest = _mm_max_ps(magnitude, largest);
  }
  bool Plain() const {
    return _mm_movemask_ps(_mm_cmpgt_ps(smallest, _mm_set1_ps(kFloatAboveSilence))) == 15 &&
           _mm_movemask_ps(_mm_cmple_ps(largest, _mm_set1_ps(FLT_MAX))) == 15;
  }
};

// Both channels of one frame narrowed for the host; a double beyond the
// float's range is cleaned like any non-finite value.
__m128 Narrow(__m128d y) {
  const __m128 narrow = _mm_cvtpd_ps(y);
  return _mm_and_ps(narrow,
                    _mm_cmple_ps(_mm_andnot_ps(_mm_set1_ps(-0.0f), narrow), _mm_set1_ps(FLT_MAX)));
}

// The writers keep the host's two pointers themselves, and the passes copy
// writer, inputs and drive before their loops: the stash's stores may alias
// anything, and every frame would otherwise read them all again. The fast
// pass writes through a watch of what it wrote.
struct DoubleWriter {
  using Watch = DoubleWatch;
  double* out[2];
  void Put(int i, int, __m128d y) const {
    _mm_storel_pd(&out[0][i], y);
    _mm_storeh_pd(&out[1][i], y);
  }
  void Put(int i, int k, __m128d y, Watch& watch) const {
    watch.Keep(y);
    Put(i, k, y);
  }
  void PutPair(int i, int, __m128d left, __m128d right, Watch& watch) const {
    watch.Keep(left);
    watch.Keep(right);
    _mm_storeu_pd(out[0] + i, left);
    _mm_storeu_pd(out[1] + i, right);
  }
  void Commit(int, int) const {}
};

struct FloatWriter {
  using Watch = FloatWatch;
  float* out[2];
  void Put(int i, int, __m128d y) const { Store(i, Narrow(y)); }
  void Put(int i, int, __m128d y, Watch& watch) const {
    const __m128 narrow = _mm_cvtpd_ps(y);
    watch.Keep(_mm_movelh_ps(narrow, narrow));
    Store(i, narrow);
  }
  void PutPair(int i, int, __m128d left, __m128d right, Watch& watch) const {
    const __m128 both = _mm_movelh_ps(_mm_cvtpd_ps(left), _mm_cvtpd_ps(right));
    watch.Keep(both);
    _mm_storel_pi(reinterpret_cast<__m64*>(out[0] + i), both);
    _mm_storeh_pi(reinterpret_cast<__m64*>(out[1] + i), both);
  }
  void Store(int i, __m128 narrow) const {
    _mm_store_ss(&out[0][i], narrow);
    _mm_store_ss(&out[1][i], _mm_shuffle_ps(narrow, narrow, 1));
  }
  void Commit(int, int) const {}
};

// Adding cannot be undone, so a stretch is added only once it is final.
struct FloatAdder {
  using Watch = DoubleWatch;
  float* out[2];
  __m128d* pending;
  void Put(int, int k, __m128d y) const { pending[k] = y; }
  void Put(int i, int k, __m128d y, Watch& watch) const {
    watch.Keep(y);
    Put(i, k, y);
  }
  void PutPair(int, int k, __m128d left, __m128d right, Watch& watch) const {
    watch.Keep(left);
    watch.Keep(right);
    pending[k] = _mm_unpacklo_pd(left, right);
    pending[k + 1] = _mm_unpackhi_pd(left, right);
  }
  void Commit(int offset, int frames) const {
    for (int k = 0; k < frames; ++k) {
      const __m128 narrow = Narrow(pending[k]);
      out[0][offset + k] += _mm_cvtss_f32(narrow);
      out[1][offset + k] += _mm_cvtss_f32(_mm_shuffle_ps(narrow, narrow, 1));
    }
  }
};

using Pass = SectionPass;

// Frames offset .. offset + frames - 1, taken to be plain, with no test at
// all but the smallest and largest input and output kept. Unless it answers
// Exact, w1, w2 and the outputs are not final.
template <FilterKind kShape, bool kVaryingCoefficients, MixKind kMix, class Sample, class Writer,
          class Drive>
Pass RunPlain(__m128d& w1Pair, __m128d& w2Pair, const Drive& drive, const Sample* const inputs[2],
              const Writer& output, int offset, int frames, __m128d* stash) {
  __m128d w1 = w1Pair, w2 = w2Pair;
  const Drive d = drive;
  const Sample* const in[2] = {inputs[0], inputs[1]};
  const Writer writer = output;
  typename Writer::Watch watch;
  __m128d smallestIn = _mm_set1_pd(DBL_MAX), largestIn = _mm_setzero_pd();
  // A NaN input is not kept in the smallest; it reaches the memory and stays there.
  const auto keepInputs = [&](__m128d smaller, __m128d larger) {
    smallestIn = _mm_min_pd(smaller, smallestIn);
    if (PlainInputs<Sample>::kBounded) largestIn = _mm_max_pd(larger, largestIn);
  };
  int k = 0;
  // Two frames at a time: each channel's pair is mixed and written at once.
  for (; k + 2 <= frames; k += 2) {
    const int i = offset + k;
    const __m128d left = LoadPair(in[0] + i), right = LoadPair(in[1] + i);
    const __m128d x = _mm_unpacklo_pd(left, right), next = _mm_unpackhi_pd(left, right);
    stash[k] = x;
    stash[k + 1] = next;
    const __m128d sizeLeft = Magnitude(left), sizeRight = Magnitude(right);
    keepInputs(_mm_min_pd(sizeLeft, sizeRight), _mm_max_pd(sizeLeft, sizeRight));
    const __m128d w0 = Coefficients<kVaryingCoefficients>(d, i).Next(x, w1, w2);
    const __m128d y = Filtered<kShape>(x, w0, w1, w2);
    const __m128d w0Next = Coefficients<kVaryingCoefficients>(d, i + 1).Next(next, w0, w1);
    const __m128d yNext = Filtered<kShape>(next, w0Next, w0, w1);
    w2 = w0;
    w1 = w0Next;
    const MixPair<kMix> mix(d, i);
    const __m128d outLeft = mix.Out(_mm_unpacklo_pd(y, yNext), left);
    const __m128d outRight = mix.Out(_mm_unpackhi_pd(y, yNext), right);
    writer.PutPair(i, k, outLeft, outRight, watch);
  }
  if (k < frames) {
    const int i = offset + k;
    const __m128d x = Load(in, i);
    stash[k] = x;
    keepInputs(Magnitude(x), Magnitude(x));
    const __m128d w0 = Coefficients<kVaryingCoefficients>(d, i).Next(x, w1, w2);
    const __m128d y = Mix<kMix>(d, i).Out(Filtered<kShape>(x, w0, w1, w2), x);
    writer.Put(i, k, y, watch);
    w2 = w1;
    w1 = w0;
  }
  w1Pair = w1;
  w2Pair = w2;
  if (!PlainInputs<Sample>::Plain(smallestIn, largestIn)) return Pass::InputsNotPlain;
  // A non-finite value, once in the memory, stays there to the stretch's end.
  const bool exact = watch.Plain() && BothFinite(w1) && BothFinite(w2);
  return exact ? Pass::Exact : Pass::Tripped;
}

// The fast pass, in AVX where the processor has it and the wide pass covers
// the case: the host's float buffers replaced under a mix that moves.
template <FilterKind kShape, bool kVaryingCoefficients, MixKind kMix, class Sample, class Writer,
          class Drive>
Pass RunFast(__m128d& w1, __m128d& w2, const Drive& d, const Sample* const in[2],
             const Writer& writer, int offset, int frames, __m128d* stash) {
  if constexpr (MixPerFrame(kMix) && std::is_same_v<Writer, FloatWriter>) {
    if (WideUnitsPresent())
      return wide::RunMixedPlain(kShape, d, w1, w2, in, writer.out, offset, frames, stash);
  }
  return RunPlain<kShape, kVaryingCoefficients, kMix>(w1, w2, d, in, writer, offset, frames, stash);
}

// Where a pass reads its inputs: the host's buffers, or the stash a pass
// before it filled (the outputs may have overwritten the inputs since).
template <class Sample> struct FromInputs {
  const Sample* const* in;
  __m128d operator()(int i, int) const { return Load(in, i); }
};
struct FromStash {
  const __m128d* stash;
  __m128d operator()(int, int k) const { return stash[k]; }
};

// The same for inputs that need cleaning, keeping the smallest magnitude
// the memory takes. Answers false when a test would have acted somewhere in
// the stretch; w1, w2 and the outputs are then not final.
template <FilterKind kShape, bool kVaryingCoefficients, MixKind kMix, class Source, class Writer,
          class Drive>
bool RunTracked(__m128d& w1, __m128d& w2, const Drive& d, const Source& source,
                const Writer& writer, int offset, int frames, __m128d* stash) {
  __m128d smallest = _mm_set1_pd(DBL_MAX);
  smallest = _mm_min_pd(NonZeroMagnitude(w1), smallest);
  smallest = _mm_min_pd(NonZeroMagnitude(w2), smallest);
  for (int k = 0; k < frames; ++k) {
    const int i = offset + k;
    const Coefficients<kVaryingCoefficients> c(d, i);
    // The full formula, which is exact for zeros as well.
    constexpr MixKind kFull = MixPerFrame(kMix)      ? kMix
                              : FactorPerFrame(kMix) ? MixKind::VaryingFactor
                                                     : MixKind::General;
    const Mix<kFull> mix(d, i);
    const __m128d x = Clean(source(i, k));
    stash[k] = x;
    const __m128d w0 = c.Next(x, w1, w2);
    smallest = _mm_min_pd(NonZeroMagnitude(w0), smallest);
    writer.Put(i, k, Clean(mix.Out(Filtered<kShape>(x, w0, w1, w2), x)));
    w2 = w1;
    w1 = w0;
  }
  // A non-finite value, once in the memory, stays there to the stretch's end.
  return BothAbove(smallest, kSilence) && BothFinite(w1) && BothFinite(w2);
}

// The same stretch sample by sample with every test, from the stash.
template <FilterKind kShape, bool kVaryingCoefficients, MixKind kMix, class Writer, class Drive>
void RunCareful(__m128d& w1Pair, __m128d& w2Pair, const Drive& d, const Writer& writer, int offset,
                int frames, const __m128d* stash) {
  alignas(16) double w1[2], w2[2], x[2], y[2];
  _mm_store_pd(w1, w1Pair);
  _mm_store_pd(w2, w2Pair);
  for (int k = 0; k < frames; ++k) {
    const int i = offset + k;
    const Coefficients<kVaryingCoefficients> c(d, i);
    const Mix<kMix> mix(d, i);
    _mm_store_pd(x, Clean(stash[k]));
    for (int ch = 0; ch < 2; ++ch) {
      const double in = x[ch];
      double w0 = 0.0;
      if (std::fabs(in) > kSilence || std::fabs(w1[ch]) > kSilence || std::fabs(w2[ch]) > kSilence)
        w0 = c.gain * in - (c.a2 * w2[ch] + c.a1 * w1[ch]);
      if (!std::isfinite(w0)) {
        // An overflow must not poison the section for good.
        w0 = 0.0;
        w1[ch] = 0.0;
        w2[ch] = 0.0;
      }
      y[ch] = Clean(Filtered<kShape>(in, w0, w1[ch], w2[ch]) * mix.factor * mix.wet + mix.dry * in);
      w2[ch] = w1[ch];
      w1[ch] = w0;
    }
    writer.Put(i, k, _mm_load_pd(y));
  }
  w1Pair = _mm_load_pd(w1);
  w2Pair = _mm_load_pd(w2);
}

template <FilterKind kShape, bool kVaryingCoefficients, MixKind kMix, class Sample, class Writer,
          class Drive>
void RunStretches(FilterMemory& left, FilterMemory& right, const Drive& d,
                  const Sample* const in[2], const Writer& writer, int frames, __m128d* stash) {
  __m128d w1 = _mm_set_pd(right.w1, left.w1);
  __m128d w2 = _mm_set_pd(right.w2, left.w2);
  // Inputs are taken to be plain, and checked in passing, while they were
  // plain the stretch before (for the first: its first frame); otherwise they
  // are checked first, which spares silence a pass to throw away.
  bool expectPlain = PlainInputs<Sample>::Plain(Load(in, 0));
  for (int offset = 0; offset < frames; offset += kStretch) {
    const int count = frames - offset < kStretch ? frames - offset : kStretch;
    const __m128d savedW1 = w1, savedW2 = w2;
    Pass pass;
    if (expectPlain || InputsPlain(in, offset, count)) {
      pass =
          RunFast<kShape, kVaryingCoefficients, kMix>(w1, w2, d, in, writer, offset, count, stash);
      expectPlain = pass != Pass::InputsNotPlain;
      if (!expectPlain) {
        w1 = savedW1;
        w2 = savedW2;
        const bool exact = RunTracked<kShape, kVaryingCoefficients, kMix>(
            w1, w2, d, FromStash{stash}, writer, offset, count, stash);
        pass = exact ? Pass::Exact : Pass::Tripped;
      }
    } else {
      const bool exact = RunTracked<kShape, kVaryingCoefficients, kMix>(
          w1, w2, d, FromInputs<Sample>{in}, writer, offset, count, stash);
      pass = exact ? Pass::Exact : Pass::Tripped;
    }
    if (pass != Pass::Exact) {
      w1 = savedW1;
      w2 = savedW2;
      RunCareful<kShape, kVaryingCoefficients, kMix>(w1, w2, d, writer, offset, count, stash);
    }
    writer.Commit(offset, count);
  }
  _mm_storel_pd(&left.w1, w1);
  _mm_storeh_pd(&right.w1, w1);
  _mm_storel_pd(&left.w2, w2);
  _mm_storeh_pd(&right.w2, w2);
  left.w0 = left.w1;
  right.w0 = right.w1;
}

// One loop per block: the shape and what varies are chosen here, once.
template <FilterKind kShape, bool kVaryingCoefficients, class Drive, class Sample, class Writer>
void RunFixedMix(MixKind kind, FilterMemory& left, FilterMemory& right, const Drive& d,
                 const Sample* const in[2], const Writer& writer, int frames, __m128d* stash) {
  switch (kind) {
  case MixKind::Wet:
    RunStretches<kShape, kVaryingCoefficients, MixKind::Wet>(left, right, d, in, writer, frames,
                                                             stash);
    break;
  case MixKind::General:
    RunStretches<kShape, kVaryingCoefficients, MixKind::General>(left, right, d, in, writer, frames,
                                                                 stash);
    break;
  case MixKind::UnitFactor:
    RunStretches<kShape, kVaryingCoefficients, MixKind::UnitFactor>(left, right, d, in, writer,
                                                                    frames, stash);
    break;
  default:
    RunStretches<kShape, kVaryingCoefficients, MixKind::PureWet>(left, right, d, in, writer, frames,
                                                                 stash);
    break;
  }
}

template <FilterKind kShape, bool kVaryingCoefficients, class Sample, class Writer>
void RunMix(FilterMemory& left, FilterMemory& right, const SectionDrive& d,
            const Sample* const in[2], const Writer& writer, int frames, __m128d* stash) {
  const bool wetOnly = d.wet == 1.0f && d.dry == 0.0f;
  if (d.wets != nullptr && d.factors != nullptr)
    RunStretches<kShape, kVaryingCoefficients, MixKind::Varying>(left, right, d, in, writer, frames,
                                                                 stash);
  else if (d.wets != nullptr)
    RunStretches<kShape, kVaryingCoefficients, MixKind::VaryingMix>(left, right, d, in, writer,
                                                                    frames, stash);
  else if (d.factors != nullptr && wetOnly)
    RunStretches<kShape, kVaryingCoefficients, MixKind::VaryingFactorWet>(left, right, d, in,
                                                                          writer, frames, stash);
  else if (d.factors != nullptr)
    RunStretches<kShape, kVaryingCoefficients, MixKind::VaryingFactor>(left, right, d, in, writer,
                                                                       frames, stash);
  else
    RunFixedMix<kShape, kVaryingCoefficients>(FixedMixKindOf(d), left, right, d, in, writer, frames,
                                              stash);
}

template <FilterKind kShape, class Sample, class Writer>
void RunShape(FilterMemory& left, FilterMemory& right, const SectionDrive& d,
              const Sample* const in[2], const Writer& writer, int frames, __m128d* stash) {
  if (d.gain != nullptr)
    RunMix<kShape, true>(left, right, d, in, writer, frames, stash);
  else
    RunMix<kShape, false>(left, right, d, in, writer, frames, stash);
}

// A fixed drive has nothing per frame: not read through the arrays' tests.
template <FilterKind kShape, class Sample, class Writer>
void RunShape(FilterMemory& left, FilterMemory& right, const FixedDrive& d,
              const Sample* const in[2], const Writer& writer, int frames, __m128d* stash) {
  RunFixedMix<kShape, false>(FixedMixKindOf(d), left, right, d, in, writer, frames, stash);
}

template <class Drive, class Sample, class Writer>
void RunAny(FilterKind kind, FilterMemory& left, FilterMemory& right, const Drive& d,
            const Sample* const in[2], const Writer& writer, int frames, __m128d* stash) {
  if (frames <= 0) return;
  switch (kind) {
  case FilterKind::Lowpass:
    RunShape<FilterKind::Lowpass>(left, right, d, in, writer, frames, stash);
    break;
  case FilterKind::Highpass:
    RunShape<FilterKind::Highpass>(left, right, d, in, writer, frames, stash);
    break;
  case FilterKind::Bandpass:
    RunShape<FilterKind::Bandpass>(left, right, d, in, writer, frames, stash);
    break;
  default:
    break;
  }
}

// Both drives, both kinds of buffers.
template <class Drive>
[[gnu::always_inline]] inline void
RunDrive(FilterKind kind, FilterMemory& left, FilterMemory& right, const Drive& drive,
         const double* const inputs[2], double* const outputs[2], int frames) {
  __m128d stash[kStretch];
  RunAny(kind, left, right, drive, inputs, DoubleWriter{{outputs[0], outputs[1]}}, frames, stash);
}

template <class Drive>
[[gnu::always_inline]] inline void
RunDrive(FilterKind kind, FilterMemory& left, FilterMemory& right, const Drive& drive,
         const float* const inputs[2], float* const outputs[2], int frames, FloatOutput mode) {
  __m128d stash[kStretch];
  if (mode == FloatOutput::Add) {
    __m128d pending[kStretch];
    RunAny(kind, left, right, drive, inputs, FloatAdder{{outputs[0], outputs[1]}, pending}, frames,
           stash);
  } else {
    RunAny(kind, left, right, drive, inputs, FloatWriter{{outputs[0], outputs[1]}}, frames, stash);
  }
}

} // namespace

const float kFloatSilenceBelow = FloatAtMost(kSilence);
const float kFloatAboveSilence = FloatAbove(kSilence);

void StereoSection::Run(FilterKind kind, const SectionDrive& drive, const double* const inputs[2],
                        double* const outputs[2], int frames) noexcept {
  RunDrive(kind, left, right, drive, inputs, outputs, frames);
}

void StereoSection::Run(FilterKind kind, const SectionDrive& drive, const float* const inputs[2],
                        float* const outputs[2], int frames, FloatOutput mode) noexcept {
  RunDrive(kind, left, right, drive, inputs, outputs, frames, mode);
}

void StereoSection::Run(FilterKind kind, const FixedDrive& drive, const double* const inputs[2],
                        double* const outputs[2], int frames) noexcept {
  RunDrive(kind, left, right, drive, inputs, outputs, frames);
}

void StereoSection::Run(FilterKind kind, const FixedDrive& drive, const float* const inputs[2],
                        float* const outputs[2], int frames, FloatOutput mode) noexcept {
  RunDrive(kind, left, right, drive, inputs, outputs, frames, mode);
}

} // namespace quorvane
