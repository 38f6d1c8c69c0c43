#include "tests/framework/TestEffect.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <string>

namespace quorvane {

using Calls = std::vector<HostCall>;
using Changes = std::vector<int32_t>;

TEST(IEffectBaseConstruction, IdentityAndDefaults) {
  TestEffect effect;
  EXPECT_STREQ(effect.EffectName(), "Test Effect");
  EXPECT_STREQ(effect.ProductName(), "Test Product");
  EXPECT_STREQ(effect.VendorName(), "Test Vendor");
  EXPECT_EQ(effect.UniqueId(), 0x54657374);
  EXPECT_EQ(effect.VendorCode(), 0x56656E64);
  EXPECT_EQ(effect.VersionNumber(true), 10203);
  EXPECT_EQ(effect.VersionNumber(false), 0x00010203);
  EXPECT_EQ(effect.StoredHostKind(), HostKind::NotAsked);
  EXPECT_EQ(effect.IdentifyHost(), HostKind::NotAsked);
  EXPECT_EQ(effect.SampleRate(), 44100.0);
  EXPECT_EQ(effect.BlockSize(), 0);
  EXPECT_EQ(effect.ParamCount(), 4);
  EXPECT_EQ(effect.Param(4), nullptr);
  EXPECT_EQ(effect.Param(-1), nullptr);
  EXPECT_EQ(effect.PendingGestureParam(), -1);
  effect.StoreHostIdentity(HostKind::Cakewalk, 0x00080032);
  EXPECT_EQ(effect.IdentifyHost(), HostKind::Cakewalk);
  EXPECT_EQ(effect.HostVersion(), 0x00080032);
}

TEST(IEffectBaseConstruction, LongIdentityTextsAreCut) {
  const std::string longName(300, 'q');
  TestEffect effect(0, nullptr, longName.c_str());
  EXPECT_EQ(std::strlen(effect.EffectName()), 127u);
  EXPECT_EQ(effect.InputCount(), 0);
  EXPECT_EQ(effect.PresetCount(), 0);
}

TEST(IEffectBaseConstruction, SampleRateMustBeFiniteAndPositive) {
  TestEffect effect;
  effect.SetSampleRate(96000.0);
  effect.SetSampleRate(0.0);
  effect.SetSampleRate(-48000.0);
  effect.SetSampleRate(std::numeric_limits<double>::quiet_NaN());
  effect.SetSampleRate(std::numeric_limits<double>::infinity());
  EXPECT_EQ(effect.SampleRate(), 96000.0);
}

TEST(IEffectBaseDefaults, HooksAnswerNeutrally) {
  TestEffect effect;
  char name[8] = "x";
  EXPECT_FALSE(effect.NameForMidiNote(60, name, sizeof name));
  EXPECT_STREQ(name, "");
  effect.SetReportedLatency(64);
  EXPECT_EQ(effect.Latency(), 64);
  const MidiMessage messages[3] = {{0, 0x90, 60, 100}, {0, 0, 0, 0}, {4, 0x80, 60, 0}};
  EXPECT_FALSE(effect.SendMidiListToHost(messages, 3));
  EXPECT_EQ(effect.sentMidi.size(), 3u); // every message is still sent
  EXPECT_TRUE(effect.SendMidiListToHost(messages + 2, 1));
  EXPECT_TRUE(effect.SendMidiListToHost(nullptr, 0));
  EXPECT_FALSE(effect.SendMidiListToHost(nullptr, 2));
}

TEST(IEffectBaseRouting, HostChangeGoesToTheEditorFirstThenTheEffect) {
  TestEffect effect;
  auto log = effect.AttachRecordingEditor();
  log->pushes.clear();
  effect.SetParameterFromHost(TestEffect::kMode, 0.6);
  ASSERT_EQ(log->pushes.size(), 1u);
  EXPECT_EQ(log->pushes[0].index, TestEffect::kMode);
  EXPECT_EQ(log->pushes[0].value, 0.6);
  EXPECT_TRUE(log->pushes[0].normalised);
  EXPECT_EQ(effect.ValueOf(TestEffect::kMode), 1.0);
  EXPECT_EQ(effect.changes, Changes{TestEffect::kMode});
  EXPECT_TRUE(effect.calls.empty()); // the host is not told what it just said
  EXPECT_DOUBLE_EQ(effect.ParameterForHost(TestEffect::kMode), 0.5);

  effect.SetParameterFromHost(TestEffect::kGain, std::numeric_limits<double>::quiet_NaN());
  effect.SetParameterFromHost(TestEffect::kFreq, 7.0);
  EXPECT_EQ(log->pushes[1].value, 0.0); // the editor never sees a value outside 0..1
  EXPECT_EQ(log->pushes[2].value, 1.0);
  EXPECT_EQ(effect.ValueOf(TestEffect::kGain), -24.0);
  EXPECT_EQ(effect.ValueOf(TestEffect::kFreq), 20000.0);
  log->pushes.resize(1);
  effect.changes.resize(1);

  effect.SetParameterFromHost(4, 0.5);
  effect.SetParameterFromHost(-1, 0.5);
  EXPECT_EQ(log->pushes.size(), 1u);
  EXPECT_EQ(effect.changes.size(), 1u);
  EXPECT_EQ(effect.ParameterForHost(4), 0.0);
}

TEST(IEffectBaseRouting, EditorChangeAutomatesWithTheControlsValue) {
  TestEffect effect;
  auto log = effect.AttachRecordingEditor();
  log->pushes.clear();
  effect.ApplyEditorChange(TestEffect::kMode, 0.6);
  EXPECT_EQ(effect.ValueOf(TestEffect::kMode), 1.0);
  EXPECT_EQ(effect.calls, (Calls{{"automate", TestEffect::kMode, 0.6}}));
  EXPECT_EQ(effect.changes, Changes{TestEffect::kMode});
  EXPECT_TRUE(log->pushes.empty());
  effect.ApplyEditorChange(9, 0.5);
  EXPECT_EQ(effect.calls.size(), 1u);
}

TEST(IEffectBaseRouting, TypedTextIsClampedWithoutStepRoundingAndNotAutomated) {
  TestEffect effect;
  auto log = effect.AttachRecordingEditor();
  log->pushes.clear();
  EXPECT_TRUE(effect.SetParameterFromText(TestEffect::kFreq, "99999"));
  EXPECT_EQ(effect.ValueOf(TestEffect::kFreq), 20000.0);
  ASSERT_EQ(log->pushes.size(), 1u);
  EXPECT_FALSE(log->pushes[0].normalised);
  EXPECT_EQ(log->pushes[0].value, 20000.0);
  EXPECT_TRUE(effect.SetParameterFromText(TestEffect::kGain, "1.23"));
  EXPECT_EQ(effect.ValueOf(TestEffect::kGain), 1.23);
  EXPECT_TRUE(effect.SetParameterFromText(TestEffect::kMode, "Bandpass"));
  EXPECT_EQ(effect.ValueOf(TestEffect::kMode), 2.0);
  EXPECT_EQ(effect.changes, (Changes{TestEffect::kFreq, TestEffect::kGain, TestEffect::kMode}));
  EXPECT_TRUE(effect.calls.empty());
  EXPECT_FALSE(effect.SetParameterFromText(7, "1"));
  EXPECT_FALSE(effect.SetParameterFromText(TestEffect::kGain, nullptr));
  EXPECT_EQ(effect.changes.size(), 3u);
}

TEST(IEffectBaseRouting, AttachingPushesNormalisedValuesThenPreparesAndOwnsTheSurface) {
  auto effect = std::make_unique<TestEffect>();
  effect->Param(TestEffect::kGain)->SetClampedValue(12.0);
  auto log = effect->AttachRecordingEditor();
  ASSERT_EQ(log->pushes.size(), 4u);
  for (int32_t i = 0; i < 4; ++i) {
    EXPECT_EQ(log->pushes[static_cast<size_t>(i)].index, i);
    EXPECT_TRUE(log->pushes[static_cast<size_t>(i)].normalised);
  }
  EXPECT_DOUBLE_EQ(log->pushes[TestEffect::kGain].value, 0.75);
  EXPECT_EQ(log->events, std::vector<std::string>{"prepare"});
  EXPECT_NE(effect->Editor(), nullptr);

  effect->AttachEditor(nullptr);
  EXPECT_NE(effect->Editor(), nullptr);
  auto second = effect->AttachRecordingEditor();
  EXPECT_TRUE(log->destroyed);
  EXPECT_FALSE(second->destroyed);
  effect.reset();
  EXPECT_TRUE(second->destroyed);
}

TEST(IEffectBaseRouting, RefreshPushesValuesInTheirOwnUnits) {
  TestEffect effect;
  effect.RefreshEditorControls(); // no editor: nothing to do
  auto log = effect.AttachRecordingEditor();
  log->pushes.clear();
  effect.RefreshEditorControls();
  ASSERT_EQ(log->pushes.size(), 4u);
  EXPECT_EQ(log->pushes[TestEffect::kFreq].value, 1000.0);
  EXPECT_FALSE(log->pushes[TestEffect::kFreq].normalised);
  EXPECT_EQ(log->pushes[TestEffect::kSteps].value, 4.0);
}

TEST(IEffectBaseRouting, AnnounceCallsEveryParameterInOrder) {
  TestEffect effect;
  effect.AnnounceAllParams();
  EXPECT_EQ(effect.changes, (Changes{0, 1, 2, 3}));
}

TEST(IEffectBaseGesture, AWheelRunIsOneGestureEndedAfterHalfASecondOfTicks) {
  TestEffect effect;
  auto log = effect.AttachRecordingEditor();
  log->events.clear();
  for (int step = 0; step < 10; ++step) {
    effect.BeginHostGestureOnce(TestEffect::kFreq);
    effect.ApplyEditorChange(TestEffect::kFreq, 0.5 + 0.01 * step);
    effect.EndHostGestureLater(TestEffect::kFreq);
  }
  ASSERT_EQ(effect.calls.size(), 11u);
  EXPECT_EQ(effect.calls[0], (HostCall{"begin", TestEffect::kFreq, 0.0}));
  for (size_t i = 1; i < 11; ++i)
    EXPECT_EQ(effect.calls[i].what, "automate");
  EXPECT_EQ(log->events.back(), "countdown 12");
  EXPECT_EQ(effect.PendingGestureParam(), TestEffect::kFreq);

  effect.FlushHostGesture(); // the countdown ran out
  EXPECT_EQ(effect.calls.back(), (HostCall{"end", TestEffect::kFreq, 0.0}));
  EXPECT_EQ(effect.calls.size(), 12u);
  EXPECT_EQ(effect.PendingGestureParam(), -1);
  effect.FlushHostGesture();
  EXPECT_EQ(effect.calls.size(), 12u);
}

TEST(IEffectBaseGesture, AnotherGestureEndsThePendingOneFirst) {
  TestEffect effect;
  effect.AttachRecordingEditor();
  effect.BeginHostGestureOnce(TestEffect::kFreq);
  effect.EndHostGestureLater(TestEffect::kFreq);
  effect.BeginHostGesture(TestEffect::kGain); // a mouse press on another control
  EXPECT_EQ(effect.calls, (Calls{{"begin", TestEffect::kFreq, 0.0},
                                     {"end", TestEffect::kFreq, 0.0},
                                     {"begin", TestEffect::kGain, 0.0}}));

  effect.calls.clear();
  effect.BeginHostGestureOnce(TestEffect::kMode);
  effect.EndHostGestureLater(TestEffect::kMode);
  effect.BeginHostGestureOnce(TestEffect::kSteps); // wheel moves to another knob
  EXPECT_EQ(effect.calls, (Calls{{"begin", TestEffect::kMode, 0.0},
                                     {"end", TestEffect::kMode, 0.0},
                                     {"begin", TestEffect::kSteps, 0.0}}));
}

TEST(IEffectBaseGesture, WithoutAnEditorTheGestureEndsAtOnce) {
  TestEffect effect;
  effect.BeginHostGestureOnce(TestEffect::kFreq);
  effect.EndHostGestureLater(TestEffect::kFreq);
  EXPECT_EQ(effect.calls,
            (Calls{{"begin", TestEffect::kFreq, 0.0}, {"end", TestEffect::kFreq, 0.0}}));
  EXPECT_EQ(effect.PendingGestureParam(), -1);
  effect.BeginHostGestureOnce(-1);
  effect.BeginHostGestureOnce(4);
  effect.EndHostGestureLater(4);
  EXPECT_EQ(effect.calls.size(), 2u);
}

TEST(IEffectBaseGesture, AnEditorClosingAsThePlugInDiesReachesNoHostCall) {
  // The effect's and the binding's parts are gone when the base destroys its editor; a window
  // that flushes a running wheel countdown then must not reach their host calls.
  auto effect = std::make_unique<TestEffect>();
  auto log = effect->AttachRecordingEditor();
  log->flushOnDestroy = effect.get();
  effect->BeginHostGestureOnce(TestEffect::kFreq);
  effect->EndHostGestureLater(TestEffect::kFreq);
  ASSERT_EQ(effect->PendingGestureParam(), TestEffect::kFreq);
  effect.reset();
  EXPECT_TRUE(log->destroyed);
}

TEST(IEffectBaseGesture, CountdownFollowsTheFrameRateButIsAtLeastOneTick) {
  TestEffect effect;
  auto log = effect.AttachRecordingEditor();
  log->frameRate = 30;
  effect.EndHostGestureLater(TestEffect::kFreq);
  EXPECT_EQ(log->events.back(), "countdown 15");
  log->frameRate = 1;
  effect.EndHostGestureLater(TestEffect::kFreq);
  EXPECT_EQ(log->events.back(), "countdown 1");
  log->frameRate = 0;
  effect.EndHostGestureLater(TestEffect::kFreq);
  EXPECT_EQ(log->events.back(), "countdown 1");
}

} // namespace quorvane
