// The envelope rendered a block at a time against the per-sample reference,
// and the routing's values and compensation at the ends of a target's range.

#include "tests/effect/ReferenceSoundPath.h"
#include "tests/effect/UnitsInUse.h"

#include "effect/dsp/AdsrEnvelope.h"
#include "effect/dsp/TargetRouting.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>
#include <vector>

namespace quorvane {
namespace {

struct Steps {
  float attack, decay, sustain, release;
};

// Gate changes at fixed samples: open at 10, close at 9000, open at 9500,
// close at 20000, of 30000.
EnvStage StageAfterGate(int i, EnvStage stage) {
  if (i == 10 || i == 9500) return EnvStage::Attack;
  if (i == 9000 || i == 20000) return stage == EnvStage::Idle ? stage : EnvStage::Release;
  return stage;
}

class EnvelopeBlocks : public testing::TestWithParam<std::tuple<Steps, bool>> {};

TEST_P(EnvelopeBlocks, RenderMatchesTheReferenceSampleForSample) {
  const Steps steps = std::get<0>(GetParam());
  const UnitsInUse units(std::get<1>(GetParam()));
  ProcessingState reference;
  reference.attackStep = steps.attack;
  reference.decayStep = steps.decay;
  reference.sustainLevel = steps.sustain;
  reference.releaseStep = steps.release;
  reference.modDepth = 1.0f; // the value is then the level itself
  reference.directionUp = true;
  AdsrEnvelope envelope;
  envelope.attackStep = steps.attack;
  envelope.decayStep = steps.decay;
  envelope.sustainLevel = steps.sustain;
  envelope.releaseStep = steps.release;

  constexpr int kTotal = 30000;
  const int gates[] = {10, 9000, 9500, 20000, kTotal};
  std::vector<float> levels(kTotal);
  for (int i = 0, g = 0; i < kTotal; ++g) {
    // Renders up to the next gate change in uneven pieces.
    for (int piece = 1; i < gates[g]; piece = piece * 3 + 1) {
      const int n = std::min(piece, gates[g] - i);
      envelope.Render(levels.data() + i, n);
      i += n;
    }
    envelope.stage = StageAfterGate(i, envelope.stage);
  }
  for (int i = 0; i < kTotal; ++i) {
    reference.envStage = StageAfterGate(i, reference.envStage);
    ASSERT_EQ(levels[i], ReferenceEnvelopeValue(reference)) << i;
  }
  EXPECT_EQ(envelope.stage, reference.envStage);
  EXPECT_EQ(envelope.level, reference.envLevel);
}

// Each on the wide units and on the baseline code.
INSTANTIATE_TEST_SUITE_P(
    Settings, EnvelopeBlocks,
    testing::Combine(
        testing::Values(Steps{1.0f / 4410, 0.1f / 2205, 0.9f, 0.9f / 3087}, // 100/50/90%/70 ms
                        Steps{1e30f, 1e30f, 0.5f, 1e30f},                   // times of zero
                        Steps{3e-5f, 1e-5f, 0.0f, 0.0f},          // no sustain: no release
                        Steps{1e-4f, 0.0f, 1.0f, 1e-4f},          // full sustain: no decay
                        Steps{2.6e-8f, 2.6e-8f, 0.5f, 2.6e-8f},   // 8000 ms at 384 kHz
                        Steps{0.7f / 3, 1e-13f, 0.5f, 0.3f / 7}), // a decay that rounds
        testing::Bool()));

// Attacks of 1 to 40 samples, rendered in one call: each ends on its own
// sample wherever it falls among the levels the loops write together, also
// when the sum lands exactly on full level, and the decay starts right after.
TEST(EnvelopeSegments, EachAttackEndsOnItsOwnSample) {
  for (bool wide : {true, false})
    for (int length = 1; length <= 40; ++length) {
      const UnitsInUse units(wide);
      const float step = 1.0f / static_cast<float>(length);
      ProcessingState reference;
      reference.attackStep = step;
      reference.decayStep = 1.0f / 64;
      reference.sustainLevel = 0.5f;
      reference.modDepth = 1.0f;
      reference.directionUp = true;
      reference.envStage = EnvStage::Attack;
      AdsrEnvelope envelope;
      envelope.stage = EnvStage::Attack;
      envelope.attackStep = step;
      envelope.decayStep = reference.decayStep;
      envelope.sustainLevel = reference.sustainLevel;
      float levels[64];
      envelope.Render(levels, 64);
      for (int i = 0; i < 64; ++i)
        ASSERT_EQ(levels[i], ReferenceEnvelopeValue(reference))
            << "attack of " << length << ", sample " << i << (wide ? ", wide" : "");
    }
}

TEST(Routing, ValuesSpanTheSwingInEitherDirection) {
  const float levels[] = {0.0f, 0.5f, 1.0f};
  float up[3], down[3];
  TargetRouting routing;
  routing.modDepth = 17982.0f;
  routing.modBase = 2018.0f;
  routing.Values(levels, 3, up);
  routing.directionUp = false;
  routing.Values(levels, 3, down);
  EXPECT_EQ(up[0], 2018.0f);
  EXPECT_EQ(up[2], 20000.0f);
  EXPECT_EQ(down[0], 20000.0f);
  EXPECT_EQ(down[1], up[1]);
  EXPECT_EQ(down[2], 2018.0f);
}

TEST(Routing, CompensationIsFullAtTheEndTheModeNames) {
  const float g = std::pow(10.0f, 6.0f / 20.0f);
  struct Row {
    CompMode mode;
    float atLowest, inMiddle, atHighest;
  } rows[] = {
      {CompMode::Left, g, (g + 1.0f) / 2.0f, 1.0f},
      {CompMode::Right, 1.0f, (g + 1.0f) / 2.0f, g},
      {CompMode::Both, g, 1.0f, g},
  };
  const float values[] = {20.0f, 10010.0f, 20000.0f};
  for (const Row& row : rows) {
    TargetRouting routing;
    routing.compGain = g;
    routing.compMode = row.mode;
    routing.lowest = 20.0f;
    routing.highest = 20000.0f;
    float factors[3];
    routing.Factors(values, 3, factors);
    EXPECT_FLOAT_EQ(factors[0], row.atLowest) << static_cast<int>(row.mode);
    EXPECT_FLOAT_EQ(factors[1], row.inMiddle) << static_cast<int>(row.mode);
    EXPECT_FLOAT_EQ(factors[2], row.atHighest) << static_cast<int>(row.mode);
  }
}

// Over a span that is a power of two the division is done by its exact
// reciprocal: the factors keep the division's bits, in every mode.
TEST(Routing, CompensationOverAPowerOfTwoSpanKeepsTheDivisionsBits) {
  const float g = std::pow(10.0f, 24.0f / 20.0f) - 1.0f;
  const float ranges[][2] = {{0.0f, 1.0f}, {0.25f, 0.75f}, {3.0f, 7.0f}, {20.0f, 20000.0f}};
  for (const auto& range : ranges) {
    const float lo = range[0], hi = range[1], span = hi - lo;
    float values[61], factors[61];
    for (int i = 0; i < 61; ++i)
      values[i] = lo + span * static_cast<float>(i) / 60.3f;
    for (CompMode mode : {CompMode::Left, CompMode::Right, CompMode::Both}) {
      TargetRouting routing;
      routing.compGain = g + 1.0f;
      routing.compMode = mode;
      routing.lowest = lo;
      routing.highest = hi;
      routing.Factors(values, 61, factors);
      for (int i = 0; i < 61; ++i) {
        const float v = values[i];
        const float expected = mode == CompMode::Left ? (hi - v) * g / span + 1.0f
                               : mode == CompMode::Right
                                   ? (v - lo) * g / span + 1.0f
                                   : std::fabs((v - lo) * 2.0f / span - 1.0f) * g + 1.0f;
        ASSERT_EQ(factors[i], expected) << lo << ".." << hi << " mode " << static_cast<int>(mode);
      }
    }
  }
}

// The mix target's single pass gives the separate passes' values, drys and
// factors to the bit, on either units, in every direction and mode, with
// and without compensation, over a count that leaves a tail.
TEST(Routing, MixGivesTheSeparatePassesBits) {
  float levels[61];
  for (int i = 0; i < 61; ++i)
    levels[i] = static_cast<float>(i) / 60.7f;
  for (bool wide : {true, false})
    for (bool up : {true, false})
      for (CompMode mode : {CompMode::Left, CompMode::Right, CompMode::Both})
        for (float gain : {1.0f, 1.9952623f}) {
          const UnitsInUse units(wide);
          TargetRouting routing;
          routing.directionUp = up;
          routing.modDepth = 0.7f;
          routing.modBase = 0.2f;
          routing.compGain = gain;
          routing.compMode = mode;
          float values[61], factors[61], wets[61], drys[61], mixFactors[61] = {};
          routing.Values(levels, 61, values);
          routing.Factors(values, 61, factors);
          routing.Mix(levels, 61, wets, drys, routing.Compensates() ? mixFactors : nullptr);
          for (int i = 0; i < 61; ++i) {
            ASSERT_EQ(wets[i], values[i]) << i;
            ASSERT_EQ(drys[i], 1.0f - values[i]) << i;
            ASSERT_EQ(mixFactors[i], routing.Compensates() ? factors[i] : 0.0f) << i;
          }
        }
}

} // namespace
} // namespace quorvane
