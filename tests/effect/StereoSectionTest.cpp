// The block loops of the filter section, held sample for sample to the
// per-sample reference: every shape, fixed and per-frame drives, broken and
// vanishing inputs, float buffers and buffers shared between input and output.

#include "tests/effect/ReferenceSoundPath.h"
#include "tests/effect/UnitsInUse.h"

#include "effect/dsp/StereoSection.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace quorvane {
namespace {

constexpr int kFrames = 3000;

enum class Signal { Noise, Broken, FadesToSilence };

std::vector<double> MakeSignal(Signal kind, unsigned seed) {
  std::mt19937 generator(seed);
  std::uniform_real_distribution<double> uniform(-1.0, 1.0);
  std::vector<double> x(kFrames);
  for (double& v : x)
    v = uniform(generator);
  if (kind == Signal::Broken) {
    const double inf = std::numeric_limits<double>::infinity();
    const double odd[] = {std::nan(""), inf, -inf, 1e-16, -0.0, 5e-324, 1e300, -1e308, 1e-15};
    for (std::size_t k = 0; k < std::size(odd); ++k)
      x[100 + 290 * k] = odd[k];
  } else if (kind == Signal::FadesToSilence) {
    for (int i = 200; i < kFrames; ++i)
      x[i] = i < 400 ? 1e-16 : 0.0;
  }
  return x;
}

// The per-frame arrays of a drive that sweeps everything it may.
struct Sweep {
  Sweep()
      : gain(kFrames), a1(kFrames), a2(kFrames), factors(kFrames), wets(kFrames), drys(kFrames) {
    for (int i = 0; i < kFrames; ++i) {
      const float freq = 20.0f + 15.0f * static_cast<float>(i);
      const FilterCoefficients c = DesignFilter(FilterKind::Bandpass, freq, 0.05f, 48000.0);
      gain[i] = c.gain;
      a1[i] = c.a1;
      a2[i] = c.a2;
      factors[i] = 1.0f + static_cast<float>(i % 97) * 0.1f;
      wets[i] = static_cast<float>(i % 101) * 0.01f;
      drys[i] = 1.0f - wets[i];
    }
  }
  std::vector<double> gain, a1, a2;
  std::vector<float> factors, wets, drys;
};

// The fixed mixes each have their own loop, as have a varying factor and a
// varying mix.
enum class MixCase {
  General,
  UnitFactor,
  Wet,
  PureWet,
  VaryingFactor,
  VaryingFactorWet,
  Varying,
  VaryingMix // wet and dry per frame under the fixed factor
};

struct Case {
  FilterKind shape;
  bool varyingCoefficients;
  MixCase mix;
  Signal signal;
  bool wide = true; // the wide units where the processor has them
};

SectionDrive DriveFor(const Case& c, const Sweep& sweep) {
  SectionDrive d;
  d.coefficients = DesignFilter(c.shape, 700.0f, 0.01f, 44100.0);
  const bool unit = c.mix == MixCase::UnitFactor || c.mix == MixCase::PureWet;
  const bool wetOnly =
      c.mix == MixCase::Wet || c.mix == MixCase::PureWet || c.mix == MixCase::VaryingFactorWet;
  d.factor = unit ? 1.0f : 1.5f;
  d.wet = wetOnly ? 1.0f : 0.75f;
  d.dry = 1.0f - d.wet;
  if (c.varyingCoefficients) {
    d.gain = sweep.gain.data();
    d.a1 = sweep.a1.data();
    d.a2 = sweep.a2.data();
  }
  if (c.mix == MixCase::VaryingFactor || c.mix == MixCase::VaryingFactorWet ||
      c.mix == MixCase::Varying)
    d.factors = sweep.factors.data();
  if (c.mix == MixCase::Varying || c.mix == MixCase::VaryingMix) {
    d.wets = sweep.wets.data();
    d.drys = sweep.drys.data();
  }
  return d;
}

// The reference run of the whole signal; answers left then right outputs.
std::vector<double> ReferenceRun(const Case& c, const SectionDrive& d, const std::vector<double>& l,
                                 const std::vector<double>& r, FilterMemory memory[2]) {
  ProcessingState s;
  s.filterType = c.shape;
  std::vector<double> out(2 * kFrames);
  for (int i = 0; i < kFrames; ++i) {
    s.gain = d.gain ? d.gain[i] : d.coefficients.gain;
    s.a1 = d.a1 ? d.a1[i] : d.coefficients.a1;
    s.a2 = d.a2 ? d.a2[i] : d.coefficients.a2;
    s.wet = d.wets ? d.wets[i] : d.wet;
    s.dry = d.drys ? d.drys[i] : d.dry;
    const double factor = d.factors ? d.factors[i] : d.factor;
    out[i] = ReferenceFilterSample(memory[0], s, l[i], factor);
    out[kFrames + i] = ReferenceFilterSample(memory[1], s, r[i], factor);
  }
  return out;
}

// Runs the section in calls of uneven sizes, offsetting the drive's arrays.
template <class Sample, class... Mode>
void RunInPieces(StereoSection& section, FilterKind shape, SectionDrive d, Sample* inL, Sample* inR,
                 Sample* outL, Sample* outR, Mode... mode) {
  const int pieces[] = {1, 63, 64, 65, 700, 7};
  for (int i = 0, p = 0; i < kFrames; p = (p + 1) % 6) {
    const int n = std::min(pieces[p], kFrames - i);
    SectionDrive at = d;
    if (d.gain) at.gain += i, at.a1 += i, at.a2 += i;
    if (d.factors) at.factors += i;
    if (d.wets) at.wets += i, at.drys += i;
    const Sample* in[2] = {inL + i, inR + i};
    Sample* out[2] = {outL + i, outR + i};
    section.Run(shape, at, in, out, n, mode...);
    i += n;
  }
}

class SectionAgainstReference : public testing::TestWithParam<Case> {};

TEST_P(SectionAgainstReference, EverySampleAndTheMemoryMatchExactly) {
  const Case c = GetParam();
  const UnitsInUse units(c.wide);
  const Sweep sweep;
  const SectionDrive d = DriveFor(c, sweep);
  const std::vector<double> l = MakeSignal(c.signal, 1), r = MakeSignal(c.signal, 2);
  FilterMemory memory[2];
  const std::vector<double> expected = ReferenceRun(c, d, l, r, memory);

  FilterMemory sectionMemory[2];
  StereoSection section(sectionMemory[0], sectionMemory[1]);
  std::vector<double> out(2 * kFrames);
  std::vector<double> inL = l, inR = r;
  RunInPieces(section, c.shape, d, inL.data(), inR.data(), out.data(), out.data() + kFrames);
  for (int i = 0; i < 2 * kFrames; ++i)
    ASSERT_EQ(std::signbit(out[i]), std::signbit(expected[i])) << i;
  EXPECT_EQ(out, expected);
  EXPECT_EQ(sectionMemory[0].w1, memory[0].w1);
  EXPECT_EQ(sectionMemory[1].w2, memory[1].w2);

  // A drive without arrays gives the same through the entry for fixed drives.
  if (d.gain == nullptr && d.factors == nullptr && d.wets == nullptr) {
    FilterMemory fixedMemory[2];
    std::vector<double> fixedOut(2 * kFrames);
    const double* inputs[2] = {l.data(), r.data()};
    double* outputs[2] = {fixedOut.data(), fixedOut.data() + kFrames};
    StereoSection(fixedMemory[0], fixedMemory[1])
        .Run(c.shape, static_cast<const FixedDrive&>(d), inputs, outputs, kFrames);
    EXPECT_EQ(fixedOut, expected);
  }

  // In place, and crosswise: each output written over the other channel's input.
  FilterMemory scratch[4];
  StereoSection inPlace(scratch[0], scratch[1]), crosswise(scratch[2], scratch[3]);
  RunInPieces(inPlace, c.shape, d, inL.data(), inR.data(), inL.data(), inR.data());
  EXPECT_EQ(inL, std::vector<double>(expected.begin(), expected.begin() + kFrames));
  std::vector<double> a = l, b = r;
  RunInPieces(crosswise, c.shape, d, a.data(), b.data(), b.data(), a.data());
  EXPECT_EQ(b, inL);
  EXPECT_EQ(a, inR);

  // Float buffers: as if widened, filtered and narrowed; added onto what is there.
  std::vector<float> fl(l.begin(), l.end()), fr(r.begin(), r.end());
  std::vector<double> wl(fl.begin(), fl.end()), wr(fr.begin(), fr.end());
  FilterMemory floatMemory[2];
  const std::vector<double> widened = ReferenceRun(c, d, wl, wr, floatMemory);
  FilterMemory floatScratch[4];
  StereoSection replacing(floatScratch[0], floatScratch[1]),
      adding(floatScratch[2], floatScratch[3]);
  std::vector<float> replaced(2 * kFrames, 9.0f), added(2 * kFrames, 0.5f);
  RunInPieces(replacing, c.shape, d, fl.data(), fr.data(), replaced.data(),
              replaced.data() + kFrames, FloatOutput::Replace);
  RunInPieces(adding, c.shape, d, fl.data(), fr.data(), added.data(), added.data() + kFrames,
              FloatOutput::Add);
  for (int i = 0; i < 2 * kFrames; ++i) {
    ASSERT_EQ(replaced[i], static_cast<float>(widened[i])) << i;
    ASSERT_EQ(added[i], 0.5f + static_cast<float>(widened[i])) << i;
  }
  // Float buffers replaced in place, and crosswise.
  FilterMemory floatInPlace[4];
  StereoSection floatSame(floatInPlace[0], floatInPlace[1]),
      floatCross(floatInPlace[2], floatInPlace[3]);
  std::vector<float> sameL = fl, sameR = fr, crossL = fl, crossR = fr;
  RunInPieces(floatSame, c.shape, d, sameL.data(), sameR.data(), sameL.data(), sameR.data(),
              FloatOutput::Replace);
  RunInPieces(floatCross, c.shape, d, crossL.data(), crossR.data(), crossR.data(), crossL.data(),
              FloatOutput::Replace);
  EXPECT_EQ(sameL, std::vector<float>(replaced.begin(), replaced.begin() + kFrames));
  EXPECT_EQ(sameR, std::vector<float>(replaced.begin() + kFrames, replaced.end()));
  EXPECT_EQ(crossR, sameL);
  EXPECT_EQ(crossL, sameR);
}

std::vector<Case> AllCases() {
  std::vector<Case> cases;
  for (FilterKind shape : {FilterKind::Lowpass, FilterKind::Highpass, FilterKind::Bandpass})
    for (bool coefficients : {false, true})
      for (MixCase mix : {MixCase::General, MixCase::UnitFactor, MixCase::Wet, MixCase::PureWet,
                          MixCase::VaryingFactor, MixCase::VaryingFactorWet, MixCase::Varying,
                          MixCase::VaryingMix})
        for (Signal s : {Signal::Noise, Signal::Broken, Signal::FadesToSilence}) {
          cases.push_back({shape, coefficients, mix, s});
          // A moving mix has wide loops of its own: the baseline ones as well.
          if (mix == MixCase::Varying || mix == MixCase::VaryingMix)
            cases.push_back({shape, coefficients, mix, s, false});
        }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(ShapesDrivesSignals, SectionAgainstReference,
                         testing::ValuesIn(AllCases()));

TEST(StereoSection, AnUnknownShapeWritesNothing) {
  FilterMemory memory[2];
  StereoSection section(memory[0], memory[1]);
  double in[4] = {1, 2, 3, 4}, outL[4] = {7, 7, 7, 7}, outR[4] = {7, 7, 7, 7};
  const double* inputs[2] = {in, in};
  double* outputs[2] = {outL, outR};
  section.Run(static_cast<FilterKind>(3), SectionDrive{}, inputs, outputs, 4);
  section.Run(FilterKind::Lowpass, SectionDrive{}, inputs, outputs, 0);
  EXPECT_EQ(outL[3], 7.0);
  EXPECT_EQ(outR[0], 7.0);
}

// A resonant section lifts loud float input past what a float holds: the
// host gets silence there, never infinity, in both float modes and on both
// the fast and the careful loops.
TEST(StereoSection, FloatOutputsNeverOverflowToInfinity) {
  for (FloatOutput mode : {FloatOutput::Replace, FloatOutput::Add}) {
    for (float loudness : {1.0f, 3e38f}) {
      FilterMemory memory[2];
      StereoSection section(memory[0], memory[1]);
      FixedDrive drive;
      drive.coefficients = DesignFilter(FilterKind::Lowpass, 200.0f, 0.01f, 44100.0);
      std::vector<float> in(kFrames), out(2 * kFrames, 0.0f);
      for (int i = 0; i < kFrames; ++i)
        in[i] = loudness * static_cast<float>(std::sin(i * 0.0285));
      const float* inputs[2] = {in.data(), in.data()};
      float* outputs[2] = {out.data(), out.data() + kFrames};
      section.Run(FilterKind::Lowpass, drive, inputs, outputs, kFrames, mode);
      float largest = 0.0f;
      for (float y : out) {
        ASSERT_TRUE(std::isfinite(y)) << loudness;
        largest = std::max(largest, std::fabs(y));
      }
      if (loudness == 1.0f) {
        EXPECT_GT(largest, 2.0f) << "the section resonates";
      }
    }
  }
}

} // namespace
} // namespace quorvane
