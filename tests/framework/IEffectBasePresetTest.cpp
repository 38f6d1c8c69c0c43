#include "tests/framework/TestEffect.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace quorvane {

namespace {

std::vector<double> StoredValues(const Preset& preset) {
  std::vector<double> values;
  int32_t pos = 0;
  double v = 0.0;
  while ((pos = preset.state.ReadDouble(&v, pos)) >= 0)
    values.push_back(v);
  return values;
}

std::vector<double> LiveValues(const TestEffect& effect) {
  std::vector<double> values;
  for (int32_t i = 0; i < effect.ParamCount(); ++i)
    values.push_back(effect.ValueOf(i));
  return values;
}

} // namespace

TEST(IEffectBasePresets, FreshSlotsArePlaceholders) {
  TestEffect effect(12);
  ASSERT_EQ(effect.PresetCount(), 12);
  EXPECT_STREQ(effect.PresetName(0), "- 1 -");
  EXPECT_STREQ(effect.PresetName(11), "- 12 -");
  EXPECT_STREQ(effect.PresetName(12), "");
  EXPECT_STREQ(effect.PresetName(-1), "");
  EXPECT_FALSE(effect.PresetAt(0)->initialised);
  EXPECT_TRUE(effect.PresetAt(0)->state.Empty());
  EXPECT_EQ(effect.PresetAt(12), nullptr);
  EXPECT_EQ(effect.CurrentPreset(), 0);
}

TEST(IEffectBasePresets, DefaultsFillTheFirstFreeSlots) {
  TestEffect effect(3);
  effect.FillDefaultPresets(nullptr, 1);
  effect.FillDefaultPresets("Init", 5); // only two slots left
  EXPECT_STREQ(effect.PresetName(0), "Default");
  EXPECT_STREQ(effect.PresetName(1), "Init");
  EXPECT_STREQ(effect.PresetName(2), "Init");
  for (int32_t i = 0; i < 3; ++i) {
    EXPECT_TRUE(effect.PresetAt(i)->initialised);
    EXPECT_EQ(StoredValues(*effect.PresetAt(i)), LiveValues(effect));
  }
  effect.FillDefaultPresets("", 1);
  EXPECT_STREQ(effect.PresetName(0), "Default");
}

TEST(IEffectBasePresets, DefinedValuesAreStoredAsGivenWithWholeNumbersForIndexKinds) {
  TestEffect effect(3);
  effect.FillDefaultPresets(nullptr, 1);
  effect.DefinePreset("Bright", 50000.0, 2.9, 3, -1.5);
  effect.DefinePreset("Short", 440.0); // missing values take the current ones
  effect.DefinePreset("Never", 1.0, 1, 1, 1.0);
  EXPECT_STREQ(effect.PresetName(1), "Bright");
  EXPECT_EQ(StoredValues(*effect.PresetAt(1)), (std::vector<double>{50000.0, 2.0, 3.0, -1.5}));
  EXPECT_EQ(StoredValues(*effect.PresetAt(2)), (std::vector<double>{440.0, 1.0, 4.0, 0.0}));
  EXPECT_STREQ(effect.PresetName(2), "Short");

  EXPECT_TRUE(effect.LoadPreset(1)); // clamped on loading
  EXPECT_EQ(LiveValues(effect), (std::vector<double>{20000.0, 2.0, 3.0, -1.5}));
  EXPECT_EQ(effect.CurrentPreset(), 1);
}

TEST(IEffectBasePresets, EnsureOnePresetOnlyActsWithoutAnyPreset) {
  TestEffect none(0);
  none.EnsureOnePreset();
  ASSERT_EQ(none.PresetCount(), 1);
  EXPECT_STREQ(none.PresetName(0), "Default");
  EXPECT_TRUE(none.PresetAt(0)->initialised);
  EXPECT_EQ(StoredValues(*none.PresetAt(0)), LiveValues(none));
  none.EnsureOnePreset();
  EXPECT_EQ(none.PresetCount(), 1);

  TestEffect some(2);
  some.EnsureOnePreset();
  EXPECT_EQ(some.PresetCount(), 2);
  EXPECT_FALSE(some.PresetAt(0)->initialised);
}

TEST(IEffectBasePresets, LoadingAnEmptySlotKeepsTheSoundAsANewUserPreset) {
  TestEffect effect(4);
  effect.FillDefaultPresets(nullptr, 1);
  effect.Param(TestEffect::kGain)->SetClampedValue(6.0);
  auto log = effect.AttachRecordingEditor();
  log->pushes.clear();
  effect.changes.clear();
  const auto before = LiveValues(effect);

  EXPECT_TRUE(effect.LoadPreset(2));
  EXPECT_EQ(LiveValues(effect), before);
  EXPECT_TRUE(effect.changes.empty());
  EXPECT_STREQ(effect.PresetName(2), "user preset 1");
  EXPECT_TRUE(effect.PresetAt(2)->initialised);
  EXPECT_EQ(StoredValues(*effect.PresetAt(2)), before);
  EXPECT_EQ(effect.CurrentPreset(), 2);
  EXPECT_EQ(log->pushes.size(), 4u);

  EXPECT_TRUE(effect.LoadPreset(3));
  EXPECT_STREQ(effect.PresetName(3), "user preset 2");
}

TEST(IEffectBasePresets, LoadingReadsTheValuesAndRefreshesTheEditor) {
  TestEffect effect(2);
  effect.FillDefaultPresets(nullptr, 1);
  effect.DefinePreset("Other", 500.0, 0, 8, 3.0);
  auto log = effect.AttachRecordingEditor();
  log->pushes.clear();
  EXPECT_TRUE(effect.LoadPreset(1));
  EXPECT_EQ(LiveValues(effect), (std::vector<double>{500.0, 0.0, 8.0, 3.0}));
  EXPECT_EQ(effect.changes, (std::vector<int32_t>{0, 1, 2, 3}));
  ASSERT_EQ(log->pushes.size(), 4u);
  EXPECT_EQ(log->pushes[0].value, 500.0);

  EXPECT_FALSE(effect.LoadPreset(2));
  EXPECT_FALSE(effect.LoadPreset(-1));
  EXPECT_EQ(effect.CurrentPreset(), 1);
}

TEST(IEffectBasePresets, UserPresetNumbersCountEveryNameContainingTheWords) {
  TestEffect effect(5);
  effect.RenamePreset(0, "user preset 1");
  effect.RenamePreset(1, "my user preset");
  effect.RenamePreset(2, "User Preset"); // case matters
  char name[32];
  effect.NextUserPresetName(name, sizeof name);
  EXPECT_STREQ(name, "user preset 3");
  char tiny[5];
  effect.NextUserPresetName(tiny, sizeof tiny);
  EXPECT_STREQ(tiny, "user");
}

TEST(IEffectBasePresets, StoringKeepsTheNameUnlessANewOneIsGiven) {
  TestEffect effect(2);
  effect.FillDefaultPresets("Warm", 1);
  effect.Param(TestEffect::kFreq)->SetClampedValue(300.0);
  EXPECT_TRUE(effect.StoreCurrentPreset(""));
  EXPECT_STREQ(effect.PresetName(0), "Warm");
  EXPECT_EQ(StoredValues(*effect.PresetAt(0))[0], 300.0);
  EXPECT_TRUE(effect.StoreCurrentPreset(nullptr));
  EXPECT_STREQ(effect.PresetName(0), "Warm");
  EXPECT_TRUE(effect.StoreCurrentPreset("Cold"));
  EXPECT_STREQ(effect.PresetName(0), "Cold");
  EXPECT_EQ(effect.PresetAt(0)->state.Size(), 32);

  TestEffect none(0);
  EXPECT_FALSE(none.StoreCurrentPreset("x"));
}

TEST(IEffectBasePresets, RenamingCutsLongNamesAndIgnoresBadIndices) {
  TestEffect effect(2);
  const std::string longName(400, 'p');
  EXPECT_TRUE(effect.RenamePreset(1, longName.c_str()));
  EXPECT_EQ(std::strlen(effect.PresetName(1)), 255u);
  EXPECT_FALSE(effect.RenamePreset(2, "x"));
  EXPECT_FALSE(effect.RenamePreset(-1, "x"));
  EXPECT_FALSE(effect.RenamePreset(0, nullptr));
  EXPECT_STREQ(effect.PresetName(0), "- 1 -");
  EXPECT_TRUE(effect.StoreCurrentPreset(longName.c_str()));
  EXPECT_EQ(std::strlen(effect.PresetName(0)), 255u);
}

} // namespace quorvane
