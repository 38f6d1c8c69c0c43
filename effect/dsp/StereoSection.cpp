#include "effect/dsp/StereoSection.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <emmintrin.h>

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

__m128d Magnitude(__m128d x) {
  return _mm_andnot_pd(_mm_set1_pd(-0.0), x);
}

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

bool BothFinite(__m128d x) {
  return _mm_movemask_pd(_mm_cmple_pd(Magnitude(x), _mm_set1_pd(DBL_MAX))) == 3;
}

template <FilterKind kShape> __m128d Filtered(__m128d in, __m128d w0, __m128d w1, __m128d w2) {
  if (kShape == FilterKind::Lowpass)
    return _mm_add_pd(_mm_add_pd(w0, _mm_mul_pd(_mm_set1_pd(2.0), w1)), w2);
  if (kShape == FilterKind::Highpass)
    return _mm_sub_pd(_mm_sub_pd(_mm_sub_pd(in, w0), _mm_mul_pd(_mm_set1_pd(2.0), w1)), w2);
  return _mm_sub_pd(w0, w2);
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
  double gain, a1, a2;
};

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
  // (filtered * factor) * wet + dry * in, as the careful loop computes it.
  __m128d Out(__m128d filtered, __m128d in) const {
    const __m128d scaled = UnitFactor(kMix) ? filtered : _mm_mul_pd(filtered, _mm_set1_pd(factor));
    if (WetOnly(kMix)) return scaled;
    return _mm_add_pd(_mm_mul_pd(scaled, _mm_set1_pd(wet)), _mm_mul_pd(_mm_set1_pd(dry), in));
  }
  double factor, wet, dry;
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
const float kFloatSilenceBelow = FloatAtMost(kSilence);

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

// The writers keep the host's two pointers themselves, and the passes copy
// writer, inputs and drive before their loops: the stash's stores may alias
// anything, and every frame would otherwise read them all again.
struct DoubleWriter {
  double* out[2];
  void Put(int i, int, __m128d y) const {
    _mm_storel_pd(&out[0][i], y);
    _mm_storeh_pd(&out[1][i], y);
  }
  void Commit(int, int) const {}
};

struct FloatWriter {
  float* out[2];
  void Put(int i, int, __m128d y) const {
    const __m128 narrow = _mm_cvtpd_ps(y);
    _mm_store_ss(&out[0][i], narrow);
    _mm_store_ss(&out[1][i], _mm_shuffle_ps(narrow, narrow, 1));
  }
  void Commit(int, int) const {}
};

// Adding cannot be undone, so a stretch is added only once it is final.
struct FloatAdder {
  float* out[2];
  __m128d* pending;
  void Put(int, int k, __m128d y) const { pending[k] = y; }
  void Commit(int offset, int frames) const {
    for (int k = 0; k < frames; ++k) {
      const __m128 narrow = _mm_cvtpd_ps(pending[k]);
      out[0][offset + k] += _mm_cvtss_f32(narrow);
      out[1][offset + k] += _mm_cvtss_f32(_mm_shuffle_ps(narrow, narrow, 1));
    }
  }
};

// What a fast pass over a stretch found.
enum class Pass {
  Exact,          // outputs and memory final
  InputsNotPlain, // redo from the stash, cleaning the inputs
  Tripped,        // redo from the stash with every test
};

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
  __m128d smallest = _mm_set1_pd(DBL_MAX), largest = _mm_setzero_pd();
  __m128d smallestIn = _mm_set1_pd(DBL_MAX), largestIn = _mm_setzero_pd();
  for (int k = 0; k < frames; ++k) {
    const int i = offset + k;
    const Coefficients<kVaryingCoefficients> c(d, i);
    const Mix<kMix> mix(d, i);
    const __m128d x = Load(in, i);
    stash[k] = x;
    // A NaN input is not kept here; it reaches the memory and stays there.
    const __m128d size = Magnitude(x);
    smallestIn = _mm_min_pd(size, smallestIn);
    if (PlainInputs<Sample>::kBounded) largestIn = _mm_max_pd(size, largestIn);
    const __m128d w0 = _mm_sub_pd(
        _mm_mul_pd(_mm_set1_pd(c.gain), x),
        _mm_add_pd(_mm_mul_pd(_mm_set1_pd(c.a2), w2), _mm_mul_pd(_mm_set1_pd(c.a1), w1)));
    const __m128d y = mix.Out(Filtered<kShape>(x, w0, w1, w2), x);
    const __m128d magnitude = Magnitude(y);
    smallest = _mm_min_pd(magnitude, smallest);
    largest = _mm_max_pd(magnitude, largest);
    writer.Put(i, k, y);
    w2 = w1;
    w1 = w0;
  }
  w1Pair = w1;
  w2Pair = w2;
  if (!PlainInputs<Sample>::Plain(smallestIn, largestIn)) return Pass::InputsNotPlain;
  // A non-finite value, once in the memory, stays there to the stretch's end.
  const bool exact = BothAbove(smallest, kSilence) &&
                     _mm_movemask_pd(_mm_cmple_pd(largest, _mm_set1_pd(DBL_MAX))) == 3 &&
                     BothFinite(w1) && BothFinite(w2);
  return exact ? Pass::Exact : Pass::Tripped;
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
    const __m128d w0 = _mm_sub_pd(
        _mm_mul_pd(_mm_set1_pd(c.gain), x),
        _mm_add_pd(_mm_mul_pd(_mm_set1_pd(c.a2), w2), _mm_mul_pd(_mm_set1_pd(c.a1), w1)));
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
          RunPlain<kShape, kVaryingCoefficients, kMix>(w1, w2, d, in, writer, offset, count, stash);
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
