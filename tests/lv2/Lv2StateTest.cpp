// State through the state interface and through lilv, and the instance's answers to a host's
// odd requests: refused sample rates, null buffers, empty runs.

#include "tests/lv2/Lv2TestHost.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace {

constexpr double kRate = 44100.0;
constexpr std::size_t kProgramStateSize = 120;

std::vector<std::vector<float>> Silence(std::size_t frames) {
  return std::vector<std::vector<float>>(2, std::vector<float>(frames, 0.0f));
}

// An instance whose parameters are those of a factory program, not the defaults.
void LoadProgram(Lv2TestWorld& world, Lv2TestInstance& instance, const char* name) {
  instance.SetControls(world.Presets().at(name));
  std::vector<std::vector<float>> out;
  instance.Run(Silence(1), out);
}

TEST(Lv2State, IsTheProgramChunkUnderOneKeyAndType) {
  Lv2TestWorld world;
  Lv2TestInstance instance(world, kRate);
  LoadProgram(world, instance, "Glissando Decrescendo");
  const Lv2TestInstance::SavedState saved = instance.Save();
  ASSERT_EQ(saved.status, LV2_STATE_SUCCESS);
  ASSERT_EQ(saved.bytes.size(), kProgramStateSize);
  // 'pfft', version 1.0, then the values: Filter Type Bandpass and Filter Freq 2000 Hz first.
  const uint8_t header[] = {0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00};
  EXPECT_EQ(std::memcmp(saved.bytes.data(), header, sizeof header), 0);
  double values[2];
  std::memcpy(values, saved.bytes.data() + 8, sizeof values);
  EXPECT_EQ(values[0], 2.0);
  EXPECT_EQ(values[1], 2000.0);
  EXPECT_EQ(saved.key, world.Urid("https://kelto.example/plugins/quorvane#program"));
  EXPECT_EQ(saved.type, world.Urid("https://kelto.example/plugins/quorvane#ProgramState"));
}

TEST(Lv2State, RoundTripThroughLilvRestoresEveryParameter) {
  Lv2TestWorld world;
  Lv2TestInstance original(world, kRate);
  LoadProgram(world, original, "Uplifting");
  LilvState* state = original.CaptureState();
  ASSERT_NE(state, nullptr);

  Lv2TestInstance fresh(world, kRate);
  ASSERT_NE(fresh.Save().bytes, original.Save().bytes);
  fresh.ApplyState(state);
  lilv_state_free(state);
  EXPECT_EQ(fresh.Save().bytes, original.Save().bytes);
  // The restored sound survives the next run, whose ports lilv set to the same values.
  std::vector<std::vector<float>> out;
  fresh.Run(Silence(16), out);
  EXPECT_EQ(fresh.Save().bytes, original.Save().bytes);
}

TEST(Lv2State, DamagedStatesAreRefusedWithNothingChanged) {
  Lv2TestWorld world;
  Lv2TestInstance instance(world, kRate);
  LoadProgram(world, instance, "Low Frequencies");
  const Lv2TestInstance::SavedState before = instance.Save();
  Lv2TestInstance other(world, kRate);
  LoadProgram(world, other, "Glissando");
  const Lv2TestInstance::SavedState good = other.Save();

  struct Case {
    const char* what;
    int sizeChange;
    bool wrongType;
    bool wrongKey;
    int damagedByte;
    LV2_State_Status expected;
  };
  const Case cases[] = {
      {"one byte short", -1, false, false, -1, LV2_STATE_ERR_BAD_TYPE},
      {"one byte long", +1, false, false, -1, LV2_STATE_ERR_BAD_TYPE},
      {"another type", 0, true, false, -1, LV2_STATE_ERR_BAD_TYPE},
      {"no such key", 0, false, true, -1, LV2_STATE_ERR_NO_PROPERTY},
      {"damaged magic", 0, false, false, 0, LV2_STATE_ERR_BAD_TYPE},
      {"damaged version", 0, false, false, 6, LV2_STATE_ERR_BAD_TYPE},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Lv2TestInstance::SavedState damaged = good;
    damaged.bytes.resize(
        static_cast<std::size_t>(static_cast<int>(good.bytes.size()) + c.sizeChange));
    if (c.wrongType) damaged.type = world.Urid(LV2_ATOM__Chunk);
    if (c.wrongKey) damaged.key = world.Urid(LV2_ATOM__Chunk);
    if (c.damagedByte >= 0) damaged.bytes[static_cast<std::size_t>(c.damagedByte)] ^= 0x40;
    EXPECT_EQ(instance.Restore(damaged), c.expected);
    EXPECT_EQ(instance.Save().bytes, before.bytes);
  }
  // Values out of range or not numbers are taken, but only inside each parameter's range.
  Lv2TestInstance::SavedState wild = good;
  const double extremes[] = {std::numeric_limits<double>::quiet_NaN(), 1e300, -1e300};
  for (std::size_t i = 0; i < 14; ++i)
    std::memcpy(wild.bytes.data() + 8 + 8 * i, &extremes[i % 3], 8);
  EXPECT_EQ(instance.Restore(wild), LV2_STATE_SUCCESS);
  const Lv2TestInstance::SavedState clamped = instance.Save();
  double freq = 0.0;
  std::memcpy(&freq, clamped.bytes.data() + 16, 8);
  EXPECT_EQ(freq, 20000.0);
}

TEST(Lv2Instance, RefusesSampleRatesTheEffectRefuses) {
  Lv2TestWorld world;
  const struct {
    double rate;
    bool accepted;
  } rows[] = {
      {0.0, false}, {-44100.0, false}, {std::nan(""), false}, {999.0, false},
      {1e8, false}, {8000.0, true},    {384000.0, true},
  };
  for (const auto& row : rows) {
    Lv2TestInstance instance(world, row.rate);
    EXPECT_EQ(instance.Valid(), row.accepted) << row.rate;
  }
}

TEST(Lv2Instance, OddFeatureListsGiveAnInstanceThatPlays) {
  Lv2TestWorld world;
  LV2_URID_Map noFunction{nullptr, nullptr};
  const LV2_Feature nameless{nullptr, nullptr};
  const LV2_Feature uselessMap{LV2_URID__map, &noFunction};
  const LV2_Feature* const withNameless[] = {&nameless, nullptr};
  const LV2_Feature* const withUselessMap[] = {&uselessMap, nullptr};
  for (const LV2_Feature* const* features : {withNameless, withUselessMap}) {
    LilvInstance* instance = lilv_plugin_instantiate(world.Plugin(), kRate, features);
    ASSERT_NE(instance, nullptr);
    float in[32], left[32] = {}, right[32] = {};
    for (int j = 0; j < 32; ++j)
      in[j] = j % 2 != 0 ? 0.5f : -0.5f;
    lilv_instance_connect_port(instance, 0, in);
    lilv_instance_connect_port(instance, 1, in);
    lilv_instance_connect_port(instance, 2, left);
    lilv_instance_connect_port(instance, 3, right);
    lilv_instance_activate(instance);
    lilv_instance_run(instance, 32);
    EXPECT_NE(left[31], 0.0f);
    lilv_instance_deactivate(instance);
    lilv_instance_free(instance);
  }
}

TEST(Lv2Instance, MidiOutOfOrderOrPastTheRunGoesOutInsideIt) {
  Lv2TestWorld world;
  Lv2TestInstance instance(world, kRate);
  std::vector<std::vector<float>> out;
  instance.Run(Silence(64), out, {{50, {0x90, 60, 90}}, {10, {0x80, 60, 0}}, {64, {0xB0, 7, 1}}});
  const std::vector<Lv2MidiEvent> echoed = instance.MidiOut();
  ASSERT_EQ(echoed.size(), 3u);
  const int64_t frames[] = {50, 50, 63};
  for (std::size_t i = 0; i < 3; ++i)
    EXPECT_EQ(echoed[i].frame, frames[i]) << i;
  EXPECT_EQ(echoed[2].bytes[0], 0xB0);
}

TEST(Lv2Instance, NullBuffersAndEmptyRunsAreSafe) {
  Lv2TestWorld world;
  LilvInstance* instance = lilv_plugin_instantiate(world.Plugin(), kRate, world.Features());
  ASSERT_NE(instance, nullptr);
  const uint32_t ports = lilv_plugin_get_num_ports(world.Plugin());
  for (uint32_t i = 0; i <= ports; ++i)
    lilv_instance_connect_port(instance, i, nullptr);
  lilv_instance_activate(instance);
  lilv_instance_run(instance, 0);
  lilv_instance_run(instance, 64);
  lilv_instance_deactivate(instance);
  lilv_instance_free(instance);

  Lv2TestInstance connected(world, kRate);
  std::vector<std::vector<float>> out;
  connected.Run(Silence(0), out);
  connected.Run(Silence(8), out);
  for (float sample : out[0])
    EXPECT_EQ(sample, 0.0f);
}

} // namespace
