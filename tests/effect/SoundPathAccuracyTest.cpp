// The effect's output against the per-sample reference (the exact design at
// every sample), over whole envelope cycles on every target, in both
// directions, for every shape, at the rates the effect supports; notes on
// their exact frame whatever the block size; the float path.

#include "tests/effect/EffectRig.h"
#include "tests/effect/ReferenceSoundPath.h"
#include "tests/support/Signals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <utility>

namespace quorvane {
namespace {

struct Note {
  int32_t frame;
  bool on;
};

// Renders input through the effect in blocks of blockSize, each note
// delivered before the block that holds its frame, at its offset there.
std::vector<double> Render(EffectRig& rig, const std::vector<double>& input,
                           const std::vector<Note>& notes, int32_t blockSize) {
  std::vector<double> output;
  std::size_t next = 0;
  for (std::size_t at = 0; at < input.size(); at += static_cast<std::size_t>(blockSize)) {
    const std::size_t end = std::min(input.size(), at + static_cast<std::size_t>(blockSize));
    for (; next < notes.size() && static_cast<std::size_t>(notes[next].frame) < end; ++next) {
      const int32_t offset = notes[next].frame - static_cast<int32_t>(at);
      notes[next].on ? rig.NoteOn(60, 100, offset) : rig.NoteOff(60, offset);
    }
    const std::vector<double> block(input.begin() + at, input.begin() + end);
    std::vector<double> left, right;
    rig.Process(block, block, left, right);
    output.insert(output.end(), left.begin(), left.end());
  }
  return output;
}

// The same through the per-sample reference, each note applied before its frame.
std::vector<double> RenderReference(ProcessingState s, const GraphReadout::Reading& graph,
                                    const std::vector<double>& input,
                                    const std::vector<Note>& notes) {
  std::vector<double> left(input.size()), right(input.size());
  int32_t at = 0;
  for (std::size_t n = 0; n <= notes.size(); ++n) {
    const int32_t end = n < notes.size() ? notes[n].frame : static_cast<int32_t>(input.size());
    ReferenceProcessBlock(s, graph.graphMin, graph.graphMax, &input[at], &input[at], &left[at],
                          &right[at], end - at);
    if (n < notes.size()) ReferenceNote(s, notes[n].on);
    at = end;
  }
  return left;
}

struct Setting {
  double rate;
  FilterKind type;
  EnvTarget target;
  int direction;
  bool sharp; // times of zero: the value jumps
};

void PrintTo(const Setting& s, std::ostream* out) {
  *out << s.rate << " Hz, type " << static_cast<int>(s.type) << ", target "
       << static_cast<int>(s.target) << ", direction " << s.direction << (s.sharp ? ", sharp" : "");
}

class EnvelopeAccuracy : public testing::TestWithParam<Setting> {};

// A whole cycle: attack, decay, sustain, release, rest, with compensation.
TEST_P(EnvelopeAccuracy, EverySampleWithin1e7OfTheExactDesign) {
  const Setting c = GetParam();
  EffectRig rig(c.rate);
  rig.Set(VSTCLASS::kParamFilterType, c.type);
  rig.Set(VSTCLASS::kParamFilterFreq, 1500);
  rig.Set(VSTCLASS::kParamFilterBandwidth, 10);
  rig.Set(VSTCLASS::kParamFilterMix, 80);
  rig.Set(VSTCLASS::kParamEnvAttack, c.sharp ? 0 : 40);
  rig.Set(VSTCLASS::kParamEnvDecay, c.sharp ? 0 : 30);
  rig.Set(VSTCLASS::kParamEnvSustain, c.sharp ? 40 : 60);
  rig.Set(VSTCLASS::kParamEnvRelease, c.sharp ? 0 : 50);
  rig.Set(VSTCLASS::kParamEnvDepth, 100);
  rig.Set(VSTCLASS::kParamEnvDirection, c.direction);
  rig.Set(VSTCLASS::kParamEnvVolCompensation, c.sharp ? 24 : 6);
  rig.Set(VSTCLASS::kParamEnvCompensation, CompMode::Both);
  rig.ProcessSilence(1);
  rig.Set(VSTCLASS::kParamEnvTarget, c.target);

  const auto ms = [&](double t) { return static_cast<int32_t>(t * c.rate / 1000.0); };
  const std::vector<double> input = Noise(static_cast<std::size_t>(ms(200)), 11);
  const std::vector<Note> notes = {{ms(5), true}, {ms(110), false}};
  const std::vector<double> expected = RenderReference(rig.State(), rig.Graph(), input, notes);
  const std::vector<double> output = Render(rig, input, notes, 512);
  double worst = 0.0;
  for (std::size_t i = 0; i < output.size(); ++i)
    worst = std::max(worst, std::fabs(output[i] - expected[i]));
  EXPECT_LE(worst, c.target == EnvTarget::None ? 1e-12 : 1e-7);
  EXPECT_EQ(rig.State().envStage, EnvStage::Idle);
}

std::vector<Setting> AllSettings() {
  std::vector<Setting> settings;
  for (double rate : {8000.0, 44100.0, 96000.0, 384000.0})
    for (FilterKind type : {FilterKind::Lowpass, FilterKind::Highpass, FilterKind::Bandpass})
      for (EnvTarget target :
           {EnvTarget::None, EnvTarget::Frequency, EnvTarget::Bandwidth, EnvTarget::Mix})
        for (int direction : {0, 1})
          for (bool sharp : {false, true})
            if (target != EnvTarget::None || (direction == 0 && !sharp))
              settings.push_back({rate, type, target, direction, sharp});
  return settings;
}

INSTANTIATE_TEST_SUITE_P(RatesShapesTargets, EnvelopeAccuracy, testing::ValuesIn(AllSettings()));

TEST(NoteTiming, TheSameNotesGiveTheSameOutputAtEveryBlockSize) {
  const std::vector<double> input = Noise(70000, 12);
  const std::vector<Note> notes = {{300, true},   {4100, true},   {4150, false}, {20000, false},
                                   {40960, true}, {41060, false}, {65540, true}};
  std::vector<double> reference;
  for (int32_t blockSize : {65536, 4096, 512, 64, 7, 1}) {
    EffectRig rig(48000.0);
    rig.Set(VSTCLASS::kParamEnvAttack, 20);
    rig.Set(VSTCLASS::kParamEnvRelease, 30);
    rig.ProcessSilence(1);
    rig.Set(VSTCLASS::kParamEnvTarget, EnvTarget::Frequency);
    const std::vector<double> output = Render(rig, input, notes, blockSize);
    if (reference.empty()) {
      reference = output;
      continue;
    }
    double worst = 0.0;
    for (std::size_t i = 0; i < output.size(); ++i)
      worst = std::max(worst, std::fabs(output[i] - reference[i]));
    EXPECT_LE(worst, 1e-7) << blockSize << "-frame blocks";
  }
}

TEST(NoteTiming, A100FrameNoteInsideOneBlockOpensAndClosesTheEnvelope) {
  EffectRig rig(48000.0);
  rig.Set(VSTCLASS::kParamFilterMix, 0);
  rig.Set(VSTCLASS::kParamEnvAttack, 1);
  rig.Set(VSTCLASS::kParamEnvRelease, 1);
  rig.Set(VSTCLASS::kParamEnvDepth, 100);
  rig.ProcessSilence(1);
  rig.Set(VSTCLASS::kParamEnvTarget, EnvTarget::Mix); // the mix is then the envelope's level
  const std::vector<double> input = Noise(4096, 13);
  rig.NoteOn(60, 100, 1000);
  rig.NoteOff(60, 1100);
  std::vector<double> left, right;
  rig.Process(input, input, left, right);

  const auto filtered = [&](int from, int to) {
    for (int i = from; i < to; ++i)
      if (left[i] != input[i]) return true;
    return false;
  };
  EXPECT_FALSE(filtered(0, 1000)); // dry until the note's own frame
  EXPECT_TRUE(filtered(1000, 1001));
  EXPECT_TRUE(filtered(1100, 1101));
  EXPECT_FALSE(filtered(1200, 4096)); // closed again, 1 ms (48 frames) after it ended
  EXPECT_EQ(rig.State().envStage, EnvStage::Idle);
}

TEST(NoteTiming, NotesPastTheQueueTakeEffectInOrderAtTheBlockEnd) {
  // Sequences long enough to overflow the queue; what stays waiting is
  // applied at the block's end, in order, as if one after the other.
  const std::vector<std::vector<bool>> tails = {{true},
                                                {false},
                                                {true, false},
                                                {false, true},
                                                {true, true, false},
                                                {true, false, false},
                                                {false, false, false},
                                                {true, true, true, false, false}};
  for (std::size_t t = 0; t < tails.size(); ++t) {
    EffectRig rig(48000.0);
    rig.Set(VSTCLASS::kParamEnvAttack, 1);
    rig.ProcessSilence(1);
    rig.Set(VSTCLASS::kParamEnvTarget, EnvTarget::Mix);
    ProcessingState expected = rig.State();
    std::vector<bool> sequence(1030, true);
    for (std::size_t i = 0; i < sequence.size(); i += 3)
      sequence[i] = false;
    sequence.insert(sequence.end(), tails[t].begin(), tails[t].end());
    for (std::size_t i = 0; i < sequence.size(); ++i) {
      sequence[i] ? rig.NoteOn(60, 100, 5) : rig.NoteOff(60, 5);
      ReferenceNote(expected, sequence[i]);
    }
    rig.ProcessSilence(1); // ends before frame 5: everything applies at the end
    EXPECT_EQ(rig.State().heldNotes, expected.heldNotes) << t;
    EXPECT_EQ(rig.State().envStage, expected.envStage) << t;
  }
}

// Program 1 also with the envelope on the mix, which the float path runs on
// loops of its own.
TEST(FloatPath, EqualsWideningProcessingAndNarrowing) {
  for (auto [program, onMix] : {std::pair{1, false}, {5, false}, {6, false}, {1, true}}) {
    EffectRig doubles(44100.0), floats(44100.0);
    for (EffectRig* rig : {&doubles, &floats}) {
      rig->Effect().LoadPreset(program);
      if (onMix) rig->Set(VSTCLASS::kParamEnvTarget, EnvTarget::Mix);
      rig->NoteOn();
    }
    const std::vector<double> noise = Noise(2000, 14);
    std::vector<float> in(noise.begin(), noise.end()), outL(2000, 0.25f), outR(2000, 0.25f);
    const std::vector<double> widened(in.begin(), in.end());
    std::vector<double> left, right;
    doubles.Process(widened, widened, left, right);
    float* inputs[2] = {in.data(), in.data()};
    float* outputs[2] = {outL.data(), outR.data()};
    floats.Effect().ProcessFloatBlock(inputs, outputs, 1000, false);
    float* later[2] = {in.data() + 1000, in.data() + 1000};
    float* laterOut[2] = {outL.data() + 1000, outR.data() + 1000};
    floats.Effect().ProcessFloatBlock(later, laterOut, 1000, true); // added to what is there
    for (int i = 0; i < 2000; ++i)
      ASSERT_EQ(outL[i], (i < 1000 ? 0.0f : 0.25f) + static_cast<float>(left[i]))
          << program << " " << i;
  }
}

// A buffer the host left out is read as silence, and an output left out is
// not written: the float path declines such a block, untouched, and the
// general road takes it. Compared with the same block given zeros.
TEST(FloatPath, AMissingBufferReadsSilenceAndDiscardsItsOutput) {
  const std::vector<double> noise = Noise(300, 15);
  std::vector<float> in(noise.begin(), noise.end()), zeros(300, 0.0f);
  for (int missing = 0; missing < 4; ++missing) {
    EffectRig given(44100.0), leftOut(44100.0);
    std::vector<float> expected[2] = {std::vector<float>(300, 0.5f), std::vector<float>(300, 0.5f)};
    std::vector<float> got[2] = {expected[0], expected[1]};
    float* givenIns[2] = {in.data(), in.data()};
    float* ins[2] = {in.data(), in.data()};
    float* expectedOuts[2] = {expected[0].data(), expected[1].data()};
    float* outs[2] = {got[0].data(), got[1].data()};
    if (missing < 2) {
      givenIns[missing] = zeros.data();
      ins[missing] = nullptr;
    } else {
      outs[missing - 2] = nullptr;
    }
    for (EffectRig* rig : {&given, &leftOut}) {
      rig->Effect().LoadPreset(1);
      rig->Effect().PrepareBlockSize(128);
    }
    EXPECT_FALSE(leftOut.Effect().ProcessFloatBlock(ins, outs, 300, false)) << missing;
    for (const std::vector<float>& untouched : got)
      EXPECT_EQ(untouched, std::vector<float>(300, 0.5f)) << missing;
    given.Effect().ProcessHostFloat(givenIns, expectedOuts, 300, false);
    leftOut.Effect().ProcessHostFloat(ins, outs, 300, false);
    for (int ch = 0; ch < 2; ++ch) {
      if (missing == ch + 2) continue;
      EXPECT_EQ(got[ch], expected[ch]) << missing << " " << ch;
    }
  }
}

} // namespace
} // namespace quorvane
