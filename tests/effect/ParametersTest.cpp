// The effect as the host first sees it: identity, parameters, programs.

#include "tests/effect/EffectRig.h"

#include <gtest/gtest.h>

#include <cstring>

namespace quorvane {

namespace {

constexpr int kParams = VSTCLASS::kParamCount;

struct ParamRow {
  const char* name;
  ParamKind kind;
  double defaultValue, minimum, maximum;
  const char* unit;
  double curve;
};

const ParamRow kParamTable[kParams] = {
    {"Filter Type", ParamKind::Choice, 1, 0, 2, "", 1.0},
    {"Filter Freq", ParamKind::Integer, 20, 20, 20000, "Hz", 2.0},
    {"Filter Bandwidth", ParamKind::Integer, 20, 1, 100, "%", 1.0},
    {"Filter Mix", ParamKind::Integer, 100, 0, 100, "%", 1.0},
    {"ENV Target", ParamKind::Choice, 0, 0, 3, "", 1.0},
    {"ENV Attack", ParamKind::Integer, 800, 0, 8000, "ms", 1.0},
    {"ENV Decay", ParamKind::Integer, 500, 0, 8000, "ms", 1.0},
    {"ENV Sustain", ParamKind::Integer, 90, 0, 100, "%", 1.0},
    {"ENV Release", ParamKind::Integer, 700, 0, 8000, "ms", 1.0},
    {"ENV Depth", ParamKind::Integer, 90, 0, 100, "%", 1.0},
    {"ENV Direction", ParamKind::Choice, 0, 0, 1, "", 1.0},
    {"ENV Vol Compensation", ParamKind::Integer, 6, 0, 24, "dB", 1.0},
    {"ENV Compensation", ParamKind::Choice, 1, 0, 2, "", 1.0},
    {"", ParamKind::Unset, 0, 0, 1, "", 1.0},
};

const char* const kProgramNames[VSTCLASS::kPresetCount] = {
    "---- default ----",     "1 oct bandwidth",   "1x2 oct bandwidth",
    "2x2 oct bandwidth",     "3x2 oct bandwidth", "Glissando",
    "Glissando Decrescendo", "High Frequencies",  "Low Frequencies",
    "Middle Frequencies",    "Uplifting",         "- 12 -"};

// Values of programs 1 to 10, parameters 0 to 13.
const double kProgramValues[10][kParams] = {
    {2, 2000, 12, 100, 0, 800, 500, 90, 700, 90, 0, 6, 1, 0},
    {2, 2000, 25, 100, 0, 800, 500, 90, 700, 90, 0, 6, 1, 0},
    {2, 2000, 50, 100, 0, 800, 500, 90, 700, 90, 0, 6, 1, 0},
    {2, 2000, 100, 100, 0, 800, 500, 90, 700, 90, 0, 6, 1, 0},
    {1, 20, 20, 100, 1, 1200, 500, 100, 1000, 90, 0, 20, 1, 0},
    {2, 2000, 30, 100, 1, 1200, 500, 100, 1000, 90, 1, 8, 0, 0},
    {1, 8000, 20, 100, 0, 800, 500, 90, 700, 90, 0, 6, 1, 0},
    {0, 3000, 20, 100, 0, 800, 500, 90, 700, 90, 0, 6, 1, 0},
    {2, 2000, 15, 100, 0, 800, 500, 90, 700, 90, 0, 6, 1, 0},
    {0, 300, 25, 100, 1, 4000, 500, 100, 1500, 100, 0, 18, 1, 0},
};

TEST(EffectIdentity, TellsTheHostWhoItIs) {
  VSTCLASS effect(nullptr);
  EXPECT_STREQ(effect.EffectName(), "Quorvane");
  EXPECT_STREQ(effect.ProductName(), "");
  EXPECT_STREQ(effect.VendorName(), "Kelto");
  EXPECT_EQ(effect.Version(), 0x00010000);
  EXPECT_EQ(effect.VersionNumber(true), 10000);
  EXPECT_EQ(effect.UniqueId(), ('h' << 24) | ('h' << 16) | ('z' << 8) | '2');
  EXPECT_EQ(effect.VendorCode(), ('K' << 24) | ('e' << 16) | ('l' << 8) | 't');
  EXPECT_EQ(effect.Latency(), 0);
  EXPECT_EQ(effect.MidiMode(), 1);
  EXPECT_FALSE(effect.HasStateChunks());
  EXPECT_FALSE(effect.IsInstrument());
  EXPECT_EQ(effect.ParamCount(), 14);
  EXPECT_EQ(effect.PresetCount(), 12);
  EXPECT_TRUE(effect.AcceptsChannelCounts(1, 1));
  EXPECT_TRUE(effect.AcceptsChannelCounts(2, 2));
  EXPECT_FALSE(effect.AcceptsChannelCounts(1, 2));
  EXPECT_EQ(effect.Record()->numParams, 14);
  EXPECT_EQ(effect.Record()->numPrograms, 12);
  EXPECT_EQ(effect.Record()->uniqueID, 0x68687A32);
  EXPECT_EQ(effect.Record()->numInputs, 2);
  EXPECT_EQ(effect.Record()->numOutputs, 2);
}

TEST(EffectParameters, MatchTheTable) {
  VSTCLASS effect(nullptr);
  for (int i = 0; i < kParams; ++i) {
    SCOPED_TRACE(i);
    const IParameter& param = *effect.Param(i);
    const ParamRow& row = kParamTable[i];
    EXPECT_STREQ(param.Name(), row.name);
    EXPECT_EQ(param.Kind(), row.kind);
    EXPECT_EQ(param.Value(), row.defaultValue);
    EXPECT_EQ(param.Minimum(), row.minimum);
    EXPECT_EQ(param.Maximum(), row.maximum);
    EXPECT_EQ(param.Step(), 1.0);
    EXPECT_STREQ(param.Unit(), row.unit);
    EXPECT_EQ(param.Curve(), row.curve);
  }
  EXPECT_EQ(effect.Param(14), nullptr);
  EXPECT_EQ(effect.Param(-1), nullptr);
}

TEST(EffectParameters, NameTheirChoices) {
  VSTCLASS effect(nullptr);
  const IParameter& type = *effect.Param(VSTCLASS::kParamFilterType);
  EXPECT_EQ(type.ValueNameCount(), 3);
  EXPECT_STREQ(type.ValueNameFor(0), "Lowpass");
  EXPECT_STREQ(type.ValueNameFor(1), "Highpass");
  EXPECT_STREQ(type.ValueNameFor(2), "Bandpass");

  const IParameter& target = *effect.Param(VSTCLASS::kParamEnvTarget);
  EXPECT_EQ(target.ValueNameCount(), 4);
  EXPECT_STREQ(target.ValueNameFor(0), "No Assign");
  EXPECT_STREQ(target.ValueNameFor(1), "Filter Freq");
  EXPECT_STREQ(target.ValueNameFor(2), "Filter Bandwidth");
  EXPECT_STREQ(target.ValueNameFor(3), "Filter Mix");

  const IParameter& direction = *effect.Param(VSTCLASS::kParamEnvDirection);
  EXPECT_EQ(direction.ValueNameCount(), 2);
  EXPECT_STREQ(direction.ValueNameFor(0), "Up");
  EXPECT_STREQ(direction.ValueNameFor(1), "Down");

  const IParameter& compensation = *effect.Param(VSTCLASS::kParamEnvCompensation);
  EXPECT_EQ(compensation.ValueNameCount(), 3);
  EXPECT_STREQ(compensation.ValueNameFor(0), "Left");
  EXPECT_STREQ(compensation.ValueNameFor(1), "Right");
  EXPECT_STREQ(compensation.ValueNameFor(2), "Both");

  for (int i : {1, 2, 3, 5, 6, 7, 8, 9, 11, 13})
    EXPECT_EQ(effect.Param(i)->ValueNameCount(), 0) << i;
}

TEST(EffectParameters, FilterFreqFollowsASquareCurve) {
  VSTCLASS effect(nullptr);
  IParameter& freq = *effect.Param(VSTCLASS::kParamFilterFreq);
  freq.SetFromNormalised(0.5);
  EXPECT_EQ(freq.Value(), 5015.0);
  EXPECT_DOUBLE_EQ(freq.NormaliseValue(5015.0), 0.5);
  freq.SetFromNormalised(1.0);
  EXPECT_EQ(freq.Value(), 20000.0);
  freq.SetFromNormalised(0.0);
  EXPECT_EQ(freq.Value(), 20.0);
}

TEST(EffectPrograms, HoldTheFactoryTable) {
  VSTCLASS effect(nullptr);
  for (int i = 0; i < VSTCLASS::kPresetCount; ++i)
    EXPECT_STREQ(effect.PresetName(i), kProgramNames[i]);
  EXPECT_FALSE(effect.PresetAt(11)->initialised);

  for (int program = 0; program <= 10; ++program) {
    SCOPED_TRACE(program);
    const Preset& preset = *effect.PresetAt(program);
    ASSERT_TRUE(preset.initialised);
    ASSERT_EQ(preset.state.Size(), 8 * kParams);
    for (int i = 0; i < kParams; ++i) {
      double stored = 0.0;
      preset.state.ReadDouble(&stored, 8 * i);
      const double expected =
          program == 0 ? kParamTable[i].defaultValue : kProgramValues[program - 1][i];
      EXPECT_EQ(stored, expected) << "parameter " << i;
    }
  }
}

TEST(EffectPrograms, LoadingSetsEveryParameterAndTheSound) {
  EffectRig rig;
  VSTCLASS& effect = rig.Effect();
  ASSERT_TRUE(effect.LoadPreset(10)); // Uplifting
  EXPECT_EQ(effect.Param(VSTCLASS::kParamFilterType)->Value(), 0.0);
  EXPECT_EQ(rig.State().filterType, FilterKind::Lowpass);
  EXPECT_EQ(rig.State().baseFreq, 300.0f);
  EXPECT_EQ(rig.State().envTarget, EnvTarget::Frequency);
  EXPECT_EQ(rig.State().depth, 1.0f);

  // Program 0 brings every default back, Highpass and "Right" included.
  ASSERT_TRUE(effect.LoadPreset(0));
  for (int i = 0; i < kParams; ++i)
    EXPECT_EQ(effect.Param(i)->Value(), kParamTable[i].defaultValue) << i;
  EXPECT_EQ(rig.State().filterType, FilterKind::Highpass);
  EXPECT_EQ(rig.State().compMode, CompMode::Right);
  EXPECT_EQ(rig.State().envTarget, EnvTarget::None);
}

TEST(EffectPrograms, SelectingTheEmptySlotKeepsTheSound) {
  EffectRig rig;
  rig.Set(VSTCLASS::kParamFilterFreq, 1234);
  ASSERT_TRUE(rig.Effect().LoadPreset(11));
  EXPECT_EQ(rig.Effect().Param(VSTCLASS::kParamFilterFreq)->Value(), 1234.0);
  EXPECT_STREQ(rig.Effect().PresetName(11), "user preset 1");
}

} // namespace

} // namespace quorvane
