// The envelope through MIDI notes, counted in samples, and its routing.

#include "tests/effect/EffectRig.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>

namespace quorvane {

namespace {

constexpr int32_t kLimit = 10'000'000;

// A rig with the envelope driving the mix (cheapest target) and the given times.
EffectRig& Configure(EffectRig& rig, int attack, int decay, int sustain, int release) {
  rig.Set(VSTCLASS::kParamEnvTarget, EnvTarget::Mix);
  rig.Set(VSTCLASS::kParamEnvAttack, attack);
  rig.Set(VSTCLASS::kParamEnvDecay, decay);
  rig.Set(VSTCLASS::kParamEnvSustain, sustain);
  rig.Set(VSTCLASS::kParamEnvRelease, release);
  rig.ProcessSilence(1); // the first block fixes the design rate
  return rig;
}

double Samples(int milliseconds, double rate) {
  return milliseconds * rate / 1000.0;
}

struct Timing {
  double rate;
  int attack, decay, sustain, release;
};

void PrintTo(const Timing& t, std::ostream* out) {
  *out << t.rate << " Hz, ADSR " << t.attack << "/" << t.decay << "/" << t.sustain << "%/"
       << t.release;
}

class EnvelopeTiming : public testing::TestWithParam<Timing> {};

TEST_P(EnvelopeTiming, EachSegmentLastsItsTimeWithinOneSample) {
  const Timing t = GetParam();
  EffectRig rig(t.rate);
  Configure(rig, t.attack, t.decay, t.sustain, t.release);

  rig.NoteOn();
  EXPECT_NEAR(rig.SamplesUntilStageLeaves(EnvStage::Attack, kLimit), Samples(t.attack, t.rate),
              1.0);
  EXPECT_EQ(rig.State().envStage, EnvStage::Decay);
  EXPECT_EQ(rig.State().envLevel, 1.0);

  EXPECT_NEAR(rig.SamplesUntilStageLeaves(EnvStage::Decay, kLimit), Samples(t.decay, t.rate), 1.0);
  EXPECT_EQ(rig.State().envStage, EnvStage::Sustain);
  EXPECT_EQ(rig.State().envLevel, t.sustain * 0.01f);

  // Sustain holds for as long as the note does.
  EXPECT_EQ(rig.SamplesUntilStageLeaves(EnvStage::Sustain, 20000), 20001);

  rig.NoteOff();
  EXPECT_NEAR(rig.SamplesUntilStageLeaves(EnvStage::Release, kLimit), Samples(t.release, t.rate),
              1.0);
  EXPECT_EQ(rig.State().envStage, EnvStage::Idle);
  EXPECT_EQ(rig.State().envLevel, 0.0);
}

INSTANTIATE_TEST_SUITE_P(
    CommonRates, EnvelopeTiming,
    testing::Values(Timing{44100, 800, 500, 90, 700}, Timing{48000, 800, 500, 90, 700},
                    Timing{96000, 800, 500, 90, 700}, Timing{44100, 1, 3, 50, 2},
                    Timing{48000, 8000, 8000, 99, 8000}, Timing{96000, 8000, 8000, 1, 8000},
                    Timing{44100, 4000, 8000, 99, 1500}, Timing{384000, 1000, 2000, 99, 500}));

TEST(Envelope, AttackOfZeroReachesFullLevelInOneSample) {
  EffectRig rig(48000.0);
  Configure(rig, 0, 500, 90, 700);
  rig.NoteOn();
  EXPECT_EQ(rig.SamplesUntilStageLeaves(EnvStage::Attack, 10), 1);
  EXPECT_EQ(rig.State().envLevel, 1.0);
}

TEST(Envelope, VelocityZeroIsANoteOff) {
  EffectRig rig;
  Configure(rig, 10, 10, 50, 10);
  rig.NoteOn();
  rig.SamplesUntilStageLeaves(EnvStage::Attack, kLimit);
  rig.NoteOn(60, 0);
  EXPECT_EQ(rig.State().heldNotes, 0);
  EXPECT_EQ(rig.State().envStage, EnvStage::Release);
}

TEST(Envelope, OverlappingNotesReleaseWithTheLast) {
  EffectRig rig;
  Configure(rig, 10, 10, 50, 10);
  rig.NoteOn(60);
  rig.NoteOn(64);
  EXPECT_EQ(rig.State().heldNotes, 2);
  rig.SamplesUntilStageLeaves(EnvStage::Attack, kLimit);
  rig.SamplesUntilStageLeaves(EnvStage::Decay, kLimit);

  rig.NoteOff(60);
  rig.ProcessSilence(1000);
  EXPECT_EQ(rig.State().envStage, EnvStage::Sustain);
  EXPECT_EQ(rig.State().envLevel, 0.5f);

  rig.NoteOff(64);
  EXPECT_EQ(rig.State().envStage, EnvStage::Release);
  EXPECT_EQ(rig.State().heldNotes, 0);
}

TEST(Envelope, ASecondNoteRestartsTheAttackFromTheCurrentLevel) {
  EffectRig rig;
  Configure(rig, 100, 100, 50, 100);
  rig.NoteOn(60);
  rig.SamplesUntilStageLeaves(EnvStage::Attack, kLimit);
  rig.ProcessSilence(441); // 10 ms into the decay
  const double level = rig.State().envLevel;
  ASSERT_GT(level, 0.5);
  ASSERT_LT(level, 1.0);
  rig.NoteOn(64);
  EXPECT_EQ(rig.State().envStage, EnvStage::Attack);
  rig.ProcessSilence(1);
  EXPECT_NEAR(rig.State().envLevel, level + rig.State().attackStep, 1e-9);
}

TEST(Envelope, ANoteDuringTheReleaseContinuesFromTheCurrentLevel) {
  EffectRig rig;
  Configure(rig, 100, 100, 50, 100);
  rig.NoteOn();
  rig.SamplesUntilStageLeaves(EnvStage::Attack, kLimit);
  rig.SamplesUntilStageLeaves(EnvStage::Decay, kLimit);
  rig.NoteOff();
  rig.ProcessSilence(2205); // half the release
  EXPECT_NEAR(rig.State().envLevel, 0.25, 0.001);

  rig.NoteOn();
  EXPECT_EQ(rig.State().envStage, EnvStage::Attack);
  // From a quarter, three quarters of the 100 ms attack remain.
  EXPECT_NEAR(rig.SamplesUntilStageLeaves(EnvStage::Attack, kLimit), 0.75 * 4410, 1.0);
}

TEST(Envelope, SustainZeroEndsTheDecayInIdleAndCutsTheRelease) {
  EffectRig rig;
  Configure(rig, 10, 10, 0, 700);
  EXPECT_EQ(rig.State().releaseStep, 0.0f);
  rig.NoteOn();
  rig.SamplesUntilStageLeaves(EnvStage::Attack, kLimit);
  EXPECT_NEAR(rig.SamplesUntilStageLeaves(EnvStage::Decay, kLimit), 441, 1.0);
  EXPECT_EQ(rig.State().envStage, EnvStage::Idle);
  EXPECT_EQ(rig.State().envLevel, 0.0);

  // A note off during the attack drops the level to 0 at the next sample.
  rig.NoteOff();
  rig.NoteOn();
  rig.ProcessSilence(100);
  ASSERT_GT(rig.State().envLevel, 0.0);
  rig.NoteOff();
  EXPECT_EQ(rig.SamplesUntilStageLeaves(EnvStage::Release, 10), 1);
  EXPECT_EQ(rig.State().envLevel, 0.0);
}

TEST(Envelope, SustainFullPassesStraightFromDecayToSustain) {
  EffectRig rig;
  Configure(rig, 10, 8000, 100, 10);
  EXPECT_EQ(rig.State().decayStep, 0.0f);
  rig.NoteOn();
  rig.SamplesUntilStageLeaves(EnvStage::Attack, kLimit);
  EXPECT_EQ(rig.SamplesUntilStageLeaves(EnvStage::Decay, 10), 1);
  EXPECT_EQ(rig.State().envStage, EnvStage::Sustain);
  EXPECT_EQ(rig.State().envLevel, 1.0);
}

TEST(Envelope, ANoteOffWithoutANoteStartsNothing) {
  EffectRig rig;
  Configure(rig, 10, 10, 50, 10);
  rig.NoteOff();
  EXPECT_EQ(rig.State().heldNotes, 0);
  EXPECT_EQ(rig.State().envStage, EnvStage::Idle);
  // The count never goes negative, so one note on opens the gate again.
  rig.NoteOn();
  EXPECT_EQ(rig.State().heldNotes, 1);
}

TEST(Envelope, WithoutATargetNotesOnlyCount) {
  EffectRig rig;
  rig.ProcessSilence(1);
  rig.NoteOn();
  EXPECT_EQ(rig.State().heldNotes, 1);
  EXPECT_EQ(rig.State().envStage, EnvStage::Idle);
  rig.ProcessSilence(1000);
  EXPECT_EQ(rig.State().envLevel, 0.0);
  rig.NoteOff();
  EXPECT_EQ(rig.State().envStage, EnvStage::Idle);
}

TEST(Envelope, OtherMessagesLeaveTheGateAlone) {
  EffectRig rig;
  Configure(rig, 10, 10, 50, 10);
  for (uint8_t status : {0xA0, 0xB0, 0xC0, 0xE0, 0xF0, 0xF8, 0xFF, 0x00, 0x7F}) {
    MidiMessage message;
    message.status = status;
    message.data2 = 100;
    rig.Effect().HandleMidi(message);
  }
  EXPECT_EQ(rig.State().heldNotes, 0);
  EXPECT_EQ(rig.State().envStage, EnvStage::Idle);

  // Channel and note number play no part.
  MidiMessage noteOn;
  noteOn.status = 0x9F;
  noteOn.data1 = 0;
  noteOn.data2 = 1;
  rig.Effect().HandleMidi(noteOn);
  EXPECT_EQ(rig.State().envStage, EnvStage::Attack);
}

// A host that takes MIDI from the plug-in only while it is willing.
bool hostTakesMidi = false;
intptr_t MidiTakingHost(AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
  return opcode == audioMasterProcessEvents && hostTakesMidi ? 1 : 0;
}

TEST(Envelope, EveryMessageAnswersWhatTheHostAnsweredToItsForwarding) {
  VSTCLASS effect(MidiTakingHost);
  MidiMessage noteOn;
  noteOn.status = 0x90;
  noteOn.data2 = 100;
  hostTakesMidi = true;
  EXPECT_TRUE(effect.HandleMidi(noteOn));
  hostTakesMidi = false;
  EXPECT_FALSE(effect.HandleMidi(noteOn));
  EXPECT_EQ(effect.State().heldNotes, 2); // the gate counts the note either way

  VSTCLASS withoutHost(nullptr);
  EXPECT_FALSE(withoutHost.HandleMidi(noteOn));
}

TEST(Envelope, TheResetSwitchActsOncePerPress) {
  EffectRig rig;
  Configure(rig, 100, 100, 50, 100);
  rig.NoteOn();
  rig.NoteOn(62);
  rig.ProcessSilence(100);

  rig.Set(VSTCLASS::kParamEnvReset, 1);
  EXPECT_EQ(rig.State().envStage, EnvStage::Idle);
  EXPECT_EQ(rig.State().envLevel, 0.0);
  EXPECT_EQ(rig.State().heldNotes, 0);
  EXPECT_TRUE(rig.State().resetHeld);

  // Held down, the switch does nothing more.
  rig.NoteOn();
  rig.ProcessSilence(100);
  rig.Set(VSTCLASS::kParamEnvReset, 1);
  EXPECT_EQ(rig.State().envStage, EnvStage::Attack);
  EXPECT_EQ(rig.State().heldNotes, 1);

  // Released and pressed again, it acts again.
  rig.Set(VSTCLASS::kParamEnvReset, 0);
  EXPECT_FALSE(rig.State().resetHeld);
  EXPECT_EQ(rig.State().envStage, EnvStage::Attack);
  rig.Set(VSTCLASS::kParamEnvReset, 1);
  EXPECT_EQ(rig.State().envStage, EnvStage::Idle);

  // Values between round to the nearest position.
  rig.Set(VSTCLASS::kParamEnvReset, 0.4);
  EXPECT_FALSE(rig.State().resetHeld);
  rig.Set(VSTCLASS::kParamEnvReset, 0.5);
  EXPECT_TRUE(rig.State().resetHeld);
}

TEST(Envelope, ActivationStopsTheEnvelopeButKeepsItsLevel) {
  for (bool active : {false, true}) {
    EffectRig rig;
    Configure(rig, 100, 100, 50, 100);
    rig.NoteOn();
    rig.NoteOn(62);
    rig.ProcessSilence(1000);
    const double level = rig.State().envLevel;
    rig.Effect().OnActivate(active);
    EXPECT_EQ(rig.State().envStage, EnvStage::Idle);
    EXPECT_EQ(rig.State().heldNotes, 0);
    EXPECT_EQ(rig.State().envLevel, level);
    rig.ProcessSilence(1000);
    EXPECT_EQ(rig.State().envLevel, level);
  }
}

TEST(Envelope, SettingTheTargetStopsTheEnvelopeEvenWhenUnchanged) {
  EffectRig rig;
  Configure(rig, 100, 100, 50, 100);
  rig.NoteOn();
  rig.ProcessSilence(1000);
  ASSERT_GT(rig.State().envLevel, 0.0);
  rig.Set(VSTCLASS::kParamEnvTarget, EnvTarget::Mix);
  EXPECT_EQ(rig.State().envStage, EnvStage::Idle);
  EXPECT_EQ(rig.State().envLevel, 0.0);
  // The routed value goes back to the parameter's.
  EXPECT_EQ(rig.State().wet, 1.0f);
  EXPECT_EQ(rig.State().dry, 0.0f);
  // The note is still held: a note off starts nothing, as the envelope is idle.
  rig.NoteOff();
  EXPECT_EQ(rig.State().envStage, EnvStage::Idle);
}

TEST(Envelope, ReleaseFromAnyStage) {
  for (EnvStage stage : {EnvStage::Attack, EnvStage::Decay, EnvStage::Sustain}) {
    EffectRig rig;
    Configure(rig, 10, 10, 50, 10);
    rig.NoteOn();
    while (rig.State().envStage != stage)
      rig.ProcessSilence(1);
    rig.NoteOff();
    EXPECT_EQ(rig.State().envStage, EnvStage::Release) << static_cast<int>(stage);
    rig.SamplesUntilStageLeaves(EnvStage::Release, kLimit);
    EXPECT_EQ(rig.State().envStage, EnvStage::Idle);
    EXPECT_EQ(rig.State().envLevel, 0.0);
  }
}

TEST(Envelope, ANewRateRemakesTheSteps) {
  EffectRig rig(44100.0);
  Configure(rig, 800, 500, 90, 700);
  const float attack = rig.State().attackStep;
  rig.Effect().SetSampleRate(88200.0);
  rig.Effect().Reset();
  EXPECT_EQ(rig.State().designRate, 88200.0);
  EXPECT_NEAR(rig.State().attackStep, attack / 2.0f, 1e-12);
  rig.NoteOn();
  EXPECT_NEAR(rig.SamplesUntilStageLeaves(EnvStage::Attack, kLimit), 70560, 1.0);
}

TEST(Envelope, TheFirstBlockUsesTheRateEvenWithoutAReset) {
  VSTCLASS effect(nullptr);
  effect.SetSampleRate(96000.0);
  effect.AnnounceAllParams(); // steps made while the rate is unknown
  effect.Param(VSTCLASS::kParamEnvTarget)->SetClampedValue(static_cast<int32_t>(EnvTarget::Mix));
  effect.OnParamChange(VSTCLASS::kParamEnvTarget);
  double in[2] = {0.0, 0.0}, out[2];
  double* inputs[2] = {&in[0], &in[1]};
  double* outputs[2] = {&out[0], &out[1]};
  MidiMessage noteOn;
  noteOn.status = 0x90;
  noteOn.data2 = 100;
  effect.HandleMidi(noteOn);
  int32_t samples = 0;
  do {
    effect.ProcessBlock(inputs, outputs, 1);
    ++samples;
  } while (effect.State().envStage == EnvStage::Attack && samples < kLimit);
  EXPECT_EQ(effect.State().designRate, 96000.0);
  EXPECT_NEAR(samples, Samples(800, 96000.0), 1.0);
}

//------------------------------------------------------------------------------------------------
// Routing

TEST(EnvelopeRouting, FrequencySwingIsPulledBelowTheTop) {
  EffectRig rig;
  rig.ProcessSilence(1);
  rig.Set(VSTCLASS::kParamFilterFreq, 5000);
  rig.Set(VSTCLASS::kParamEnvDepth, 90);
  rig.Set(VSTCLASS::kParamEnvTarget, EnvTarget::Frequency);
  EXPECT_EQ(rig.State().modDepth, 17982.0f);
  EXPECT_EQ(rig.State().modBase, 2018.0f);
  EXPECT_EQ(rig.Graph().graphMin, 20.0f);
  EXPECT_EQ(rig.Graph().graphMax, 20000.0f);
  EXPECT_TRUE(rig.Graph().graphEnabled);

  // Idle at level 0 the frequency rests at the bottom of the sweep ...
  rig.ProcessSilence(10);
  EXPECT_EQ(rig.State().freq, 2018.0f);
  EXPECT_EQ(rig.Graph().graphValue, 2018.0f);
  // ... and at full level reaches the top.
  rig.Set(VSTCLASS::kParamEnvAttack, 0);
  rig.NoteOn();
  rig.ProcessSilence(1);
  EXPECT_EQ(rig.State().freq, 20000.0f);
  EXPECT_EQ(rig.Graph().graphValue, 20000.0f);
}

TEST(EnvelopeRouting, BaseFollowsTheParameterWhileRouted) {
  EffectRig rig;
  rig.ProcessSilence(1);
  rig.Set(VSTCLASS::kParamEnvDepth, 50);
  rig.Set(VSTCLASS::kParamEnvTarget, EnvTarget::Frequency);
  rig.Set(VSTCLASS::kParamFilterFreq, 1000);
  EXPECT_EQ(rig.State().modBase, 1000.0f);
  rig.Set(VSTCLASS::kParamFilterFreq, 15000);
  EXPECT_EQ(rig.State().modBase, 20000.0f - 9990.0f);

  rig.Set(VSTCLASS::kParamFilterBandwidth, 30);
  rig.Set(VSTCLASS::kParamEnvTarget, EnvTarget::Bandwidth);
  EXPECT_EQ(rig.State().modDepth, 0.5f * 0.99f);
  EXPECT_EQ(rig.State().modBase, 30 * 0.01f);
  EXPECT_EQ(rig.Graph().graphMin, 0.01f);
  EXPECT_EQ(rig.Graph().graphMax, 1.0f);

  rig.Set(VSTCLASS::kParamFilterMix, 80);
  rig.Set(VSTCLASS::kParamEnvTarget, EnvTarget::Mix);
  EXPECT_EQ(rig.State().modDepth, 0.5f);
  EXPECT_EQ(rig.State().modBase, 1.0f - 0.5f);
  EXPECT_EQ(rig.Graph().graphMin, 0.0f);
  EXPECT_EQ(rig.Graph().graphMax, 1.0f);

  // No target: routing values and range stay as they were.
  rig.Set(VSTCLASS::kParamEnvTarget, EnvTarget::None);
  rig.Set(VSTCLASS::kParamEnvDepth, 10);
  EXPECT_EQ(rig.State().modDepth, 0.5f);
  EXPECT_FALSE(rig.Graph().graphEnabled);
}

TEST(EnvelopeRouting, DirectionDownStartsAtTheTop) {
  EffectRig rig;
  rig.ProcessSilence(1);
  rig.Set(VSTCLASS::kParamFilterBandwidth, 10);
  rig.Set(VSTCLASS::kParamEnvDirection, 1);
  rig.Set(VSTCLASS::kParamEnvTarget, EnvTarget::Bandwidth);
  EXPECT_FALSE(rig.State().directionUp);
  rig.ProcessSilence(1);
  EXPECT_EQ(rig.State().bandwidth, rig.State().modBase + rig.State().modDepth);
}

TEST(EnvelopeRouting, MixTargetMovesWetAndDry) {
  EffectRig rig;
  rig.ProcessSilence(1);
  rig.Set(VSTCLASS::kParamEnvDepth, 100);
  rig.Set(VSTCLASS::kParamEnvAttack, 0);
  rig.Set(VSTCLASS::kParamEnvSustain, 100);
  rig.Set(VSTCLASS::kParamEnvTarget, EnvTarget::Mix);
  rig.ProcessSilence(1);
  EXPECT_EQ(rig.State().wet, 0.0f);
  EXPECT_EQ(rig.State().dry, 1.0f);
  rig.NoteOn();
  rig.ProcessSilence(1);
  EXPECT_EQ(rig.State().wet, 1.0f);
  EXPECT_EQ(rig.State().dry, 0.0f);
  // Setting the mix parameter puts the parameter's value back until the next sample.
  rig.Set(VSTCLASS::kParamFilterMix, 30);
  EXPECT_EQ(rig.State().wet, 30 * 0.01f);
  rig.ProcessSilence(1);
  EXPECT_EQ(rig.State().wet, 1.0f);
}

TEST(EnvelopeRouting, GraphKeepsItsValueWhenNoEnvelopeRuns) {
  EffectRig rig;
  rig.ProcessSilence(1);
  rig.Set(VSTCLASS::kParamEnvTarget, EnvTarget::Mix);
  rig.ProcessSilence(4);
  const float shown = rig.Graph().graphValue;
  rig.ProcessSilence(0);
  EXPECT_EQ(rig.Graph().graphValue, shown);
  rig.Set(VSTCLASS::kParamEnvTarget, EnvTarget::None);
  rig.ProcessSilence(64);
  EXPECT_EQ(rig.Graph().graphValue, shown);
}

} // namespace

} // namespace quorvane
