#include "tests/framework/TestEffect.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <iterator>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace quorvane {

namespace {

// Chunk bytes assembled by hand, independently of StateBuffer.
struct Bytes {
  std::vector<uint8_t> data;
  Bytes& Int32(int32_t v) {
    for (int i = 0; i < 4; ++i)
      data.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
    return *this;
  }
  Bytes& Double(double v) {
    uint64_t bits;
    std::memcpy(&bits, &v, 8);
    for (int i = 0; i < 8; ++i)
      data.push_back(static_cast<uint8_t>(bits >> (8 * i)));
    return *this;
  }
  Bytes& Byte(uint8_t v) {
    data.push_back(v);
    return *this;
  }
  Bytes& Text(const std::string& text) {
    Int32(static_cast<int32_t>(text.size()));
    data.insert(data.end(), text.begin(), text.end());
    return *this;
  }
  Bytes& Header(int32_t version = 0x00010000) { return Int32(0x70666674).Int32(version); }
  Bytes& Values(std::initializer_list<double> values) {
    for (double v : values)
      Double(v);
    return *this;
  }
  Bytes& Preset(const std::string& name, std::initializer_list<double> values) {
    return Text(name).Byte(1).Values(values);
  }
};

std::vector<uint8_t> GetChunk(TestEffect& effect, bool bank) {
  const void* data = nullptr;
  const int32_t size = effect.GetChunk(bank, &data);
  if (size <= 0 || !data) return {};
  const auto* bytes = static_cast<const uint8_t*>(data);
  return std::vector<uint8_t>(bytes, bytes + size);
}

int32_t SetChunk(TestEffect& effect, bool bank, const Bytes& bytes) {
  return effect.SetChunk(bank, bytes.data.data(), static_cast<int64_t>(bytes.data.size()));
}

std::vector<double> LiveValues(const TestEffect& effect) {
  std::vector<double> values;
  for (int32_t i = 0; i < effect.ParamCount(); ++i)
    values.push_back(effect.ValueOf(i));
  return values;
}

// Everything a refused chunk must leave alone.
struct Observed {
  std::vector<double> values;
  std::vector<std::string> names;
  std::vector<bool> initialised;
  std::vector<std::vector<uint8_t>> states;
  int32_t current;
  bool operator==(const Observed& o) const {
    return values == o.values && names == o.names && initialised == o.initialised &&
           states == o.states && current == o.current;
  }
};

Observed Observe(const TestEffect& effect) {
  Observed seen{LiveValues(effect), {}, {}, {}, effect.CurrentPreset()};
  for (int32_t i = 0; i < effect.PresetCount(); ++i) {
    const Preset& preset = *effect.PresetAt(i);
    seen.names.push_back(preset.name);
    seen.initialised.push_back(preset.initialised);
    seen.states.emplace_back(preset.state.Data(), preset.state.Data() + preset.state.Size());
  }
  return seen;
}

// An effect as its constructor leaves it: two defined presets and two free slots.
std::unique_ptr<TestEffect> MakeEffect() {
  auto effect = std::make_unique<TestEffect>(4);
  effect->FillDefaultPresets(nullptr, 1);
  effect->DefinePreset("Dark", 200.0, 0, 2, -6.0);
  return effect;
}

} // namespace

TEST(IEffectBaseChunks, ProgramChunkBytes) {
  auto effect = MakeEffect();
  const auto chunk = GetChunk(*effect, false);
  const auto expected = Bytes().Header().Values({1000.0, 1.0, 4.0, 0.0}).data;
  EXPECT_EQ(chunk, expected);
  ASSERT_GE(chunk.size(), 8u);
  EXPECT_EQ(std::vector<uint8_t>(chunk.begin(), chunk.begin() + 8),
            (std::vector<uint8_t>{0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00}));
}

TEST(IEffectBaseChunks, ProgramChunkRoundTripRestoresEveryValueExactly) {
  auto effect = MakeEffect();
  effect->Param(TestEffect::kFreq)->SetFromNormalised(0.123456789);
  effect->Param(TestEffect::kGain)->SetClampedValue(-0.1);
  const auto expected = LiveValues(*effect);
  const auto chunk = GetChunk(*effect, false);

  effect->LoadPreset(1);
  auto log = effect->AttachRecordingEditor();
  log->pushes.clear();
  effect->changes.clear();
  ASSERT_EQ(effect->SetChunk(false, chunk.data(), static_cast<int64_t>(chunk.size())), 1);
  EXPECT_EQ(LiveValues(*effect), expected);
  EXPECT_EQ(effect->changes, (std::vector<int32_t>{0, 1, 2, 3}));
  EXPECT_EQ(log->pushes.size(), 4u);
  const Preset& current = *effect->PresetAt(effect->CurrentPreset());
  EXPECT_EQ(std::vector<uint8_t>(current.state.Data(), current.state.Data() + current.state.Size()),
            std::vector<uint8_t>(chunk.begin() + 8, chunk.end()));
}

TEST(IEffectBaseChunks, HandingBackTheAnsweredBytesWorks) {
  auto effect = MakeEffect();
  effect->Param(TestEffect::kSteps)->SetClampedValue(9.0);
  for (bool bank : {false, true}) {
    const void* data = nullptr;
    const int32_t size = effect->GetChunk(bank, &data);
    ASSERT_GT(size, 0);
    EXPECT_EQ(effect->SetChunk(bank, data, size), 1);
    EXPECT_EQ(effect->ValueOf(TestEffect::kSteps), 9.0);
  }
}

TEST(IEffectBaseChunks, ChunkWithoutHeaderIsReadAsBareValues) {
  auto effect = MakeEffect();
  EXPECT_EQ(SetChunk(*effect, false, Bytes().Values({300.0, 2.0, 5.0, 1.5})), 1);
  EXPECT_EQ(LiveValues(*effect), (std::vector<double>{300.0, 2.0, 5.0, 1.5}));

  // A wrong magic makes the header bytes the first value; the last value is left over.
  Bytes wrongMagic;
  wrongMagic.Int32(0x12345678).Int32(0x00010000).Values({700.0, 0.0, 16.0, 99.0});
  EXPECT_EQ(SetChunk(*effect, false, wrongMagic), 1);
  EXPECT_EQ(LiveValues(*effect), (std::vector<double>{20.0, 2.0, 1.0, 16.0}));
}

TEST(IEffectBaseChunks, ValuesAreClampedAndNaNBecomesTheMinimum) {
  auto effect = MakeEffect();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(SetChunk(*effect, false, Bytes().Header().Values({nan, -5.0, inf, 0.3})), 1);
  EXPECT_EQ(LiveValues(*effect), (std::vector<double>{20.0, 0.0, 16.0, 0.3}));
}

TEST(IEffectBaseChunks, ExtraBytesAfterTheValuesAreIgnored) {
  auto effect = MakeEffect();
  Bytes longer = Bytes().Header().Values({500.0, 0.0, 2.0, 1.0});
  longer.data.resize(longer.data.size() + 100, 0xEE);
  EXPECT_EQ(SetChunk(*effect, false, longer), 1);
  EXPECT_EQ(LiveValues(*effect), (std::vector<double>{500.0, 0.0, 2.0, 1.0}));
}

TEST(IEffectBaseChunks, BrokenProgramChunksAreRefusedWithoutChange) {
  auto effect = MakeEffect();
  effect->Param(TestEffect::kGain)->SetClampedValue(3.0);
  auto log = effect->AttachRecordingEditor();
  const Observed before = Observe(*effect);
  const Bytes broken[] = {
      Bytes().Header().Values({500.0, 2.0}),     // runs out at the third value
      Bytes().Int32(0x70666674),                 // magic alone
      Bytes().Header(),                          // header alone
      Bytes().Values({500.0, 2.0, 5.0}).Byte(1), // no header, too short
  };
  for (const Bytes& chunk : broken) {
    EXPECT_EQ(SetChunk(*effect, false, chunk), 0);
    EXPECT_EQ(Observe(*effect), before);
  }
  // The effect and the editor end up with the values that stay.
  EXPECT_EQ(effect->changes.size() % 4, 0u);
  EXPECT_EQ(log->pushes.back().value, 3.0);
}

TEST(IEffectBaseChunks, NullOrEmptyInputIsRefusedUntouched) {
  auto effect = MakeEffect();
  const Observed before = Observe(*effect);
  const uint8_t byte = 0;
  EXPECT_EQ(effect->SetChunk(false, nullptr, 16), 0);
  EXPECT_EQ(effect->SetChunk(true, &byte, 0), 0);
  EXPECT_EQ(effect->SetChunk(false, &byte, -8), 0);
  EXPECT_EQ(effect->SetChunk(false, &byte, int64_t{1} << 40), 0);
  EXPECT_TRUE(effect->changes.empty());
  EXPECT_EQ(Observe(*effect), before);
  EXPECT_EQ(effect->GetChunk(false, nullptr), 0);
}

TEST(IEffectBaseChunks, BankChunkBytesHoldEveryPresetAfterStoringTheCurrentOne) {
  auto effect = MakeEffect();
  effect->Param(TestEffect::kGain)->SetClampedValue(1.5);
  const auto chunk = GetChunk(*effect, true);
  const auto expected = Bytes()
                            .Header()
                            .Preset("Default", {1000.0, 1.0, 4.0, 1.5})
                            .Preset("Dark", {200.0, 0.0, 2.0, -6.0})
                            .Text("- 3 -")
                            .Byte(0)
                            .Text("- 4 -")
                            .Byte(0)
                            .data;
  EXPECT_EQ(chunk, expected);
}

TEST(IEffectBaseChunks, BankRoundTrip) {
  auto effect = MakeEffect();
  effect->LoadPreset(1);
  const auto chunk = GetChunk(*effect, true);
  const Observed saved = Observe(*effect);

  effect->LoadPreset(0);
  effect->LoadPreset(3); // becomes "user preset 1"
  effect->RenamePreset(1, "changed");
  effect->Param(TestEffect::kMode)->SetClampedValue(2.0);
  effect->LoadPreset(1);
  ASSERT_EQ(effect->SetChunk(true, chunk.data(), static_cast<int64_t>(chunk.size())), 1);
  Observed restored = Observe(*effect);
  restored.current = saved.current; // the bank does not carry the current program
  EXPECT_EQ(restored, saved);
  EXPECT_EQ(effect->CurrentPreset(), 1);
}

TEST(IEffectBaseChunks, BankLoadsTheCurrentPresetAfterwards) {
  auto effect = MakeEffect();
  effect->LoadPreset(1);
  const auto bank = Bytes()
                        .Header()
                        .Preset("A", {100.0, 0.0, 1.0, 1.0})
                        .Preset("B", {200.0, 2.0, 2.0, 2.0})
                        .Preset("C", {300.0, 1.0, 3.0, 3.0})
                        .Text("D")
                        .Byte(0);
  EXPECT_EQ(SetChunk(*effect, true, bank), 1);
  EXPECT_EQ(LiveValues(*effect), (std::vector<double>{200.0, 2.0, 2.0, 2.0}));
  EXPECT_STREQ(effect->PresetName(2), "C");
  EXPECT_STREQ(effect->PresetName(3), "D");
  EXPECT_FALSE(effect->PresetAt(3)->initialised);
}

TEST(IEffectBaseChunks, BankFromAPluginWithMorePresetsIgnoresTheExtraOnes) {
  auto effect = MakeEffect();
  Bytes bank = Bytes().Header();
  for (int i = 0; i < 6; ++i)
    bank.Preset("P" + std::to_string(i), {100.0 * (i + 1), 0.0, 1.0, 0.0});
  EXPECT_EQ(SetChunk(*effect, true, bank), 1);
  EXPECT_STREQ(effect->PresetName(3), "P3");
  EXPECT_EQ(effect->ValueOf(TestEffect::kFreq), 100.0);
}

TEST(IEffectBaseChunks, BrokenBanksAreRefusedWithoutChange) {
  auto effect = MakeEffect();
  auto log = effect->AttachRecordingEditor();
  const Observed before = Observe(*effect);
  const Bytes full = Bytes()
                         .Header()
                         .Preset("A", {100.0, 0.0, 1.0, 1.0})
                         .Preset("B", {200.0, 2.0, 2.0, 2.0})
                         .Preset("C", {300.0, 1.0, 3.0, 3.0})
                         .Preset("D", {400.0, 1.0, 3.0, 3.0});
  Bytes fewer = Bytes().Header().Preset("A", {100.0, 0.0, 1.0, 1.0});
  Bytes truncated = full;
  truncated.data.resize(full.data.size() - 3);
  Bytes noFlag = Bytes().Header().Text("A");
  Bytes negativeName = Bytes().Header().Int32(-4).Byte(1).Values({1, 1, 1, 1});
  Bytes namePastEnd = Bytes().Header().Int32(1000).Byte(1);
  for (const Bytes* bank : {&fewer, &truncated, &noFlag, &negativeName, &namePastEnd}) {
    EXPECT_EQ(SetChunk(*effect, true, *bank), 0);
    EXPECT_EQ(Observe(*effect), before);
  }
  EXPECT_EQ(log->pushes.back().value, before.values.back());
}

TEST(IEffectBaseChunks, BankRecordsWithEmptyOrLongNames) {
  auto effect = MakeEffect();
  const std::string longName(300, 'L');
  const auto bank = Bytes()
                        .Header()
                        .Preset("", {100.0, 0.0, 1.0, 1.0})
                        .Preset(longName, {200.0, 2.0, 2.0, 2.0})
                        .Text("")
                        .Byte(0)
                        .Text("x")
                        .Byte(0);
  EXPECT_EQ(SetChunk(*effect, true, bank), 1);
  EXPECT_STREQ(effect->PresetName(0), "");
  EXPECT_EQ(std::string(effect->PresetName(1)), longName.substr(0, 255));
  EXPECT_STREQ(effect->PresetName(2), "");
}

TEST(IEffectBaseChunks, OldBankFormatIsReadAsOneProgram) {
  auto effect = MakeEffect();
  EXPECT_EQ(SetChunk(*effect, true, Bytes().Header(0x00000001).Values({600.0, 1.0, 7.0, 0.5})), 1);
  EXPECT_EQ(LiveValues(*effect), (std::vector<double>{600.0, 1.0, 7.0, 0.5}));
  EXPECT_STREQ(effect->PresetName(1), "Dark"); // other presets untouched
  const Preset& current = *effect->PresetAt(0);
  double first = 0.0;
  current.state.ReadDouble(&first, 0);
  EXPECT_EQ(first, 600.0);
  // A bank without any header: bare values as well.
  EXPECT_EQ(SetChunk(*effect, true, Bytes().Values({700.0, 1.0, 7.0, 0.5})), 1);
  EXPECT_EQ(effect->ValueOf(TestEffect::kFreq), 700.0);
}

TEST(IEffectBaseChunks, APresetEmptiedByABankStartsCleanWhenSelected) {
  auto effect = MakeEffect();
  const auto bank = Bytes()
                        .Header()
                        .Preset("A", {100.0, 0.0, 1.0, 1.0})
                        .Text("B")
                        .Byte(0)
                        .Text("C")
                        .Byte(0)
                        .Text("D")
                        .Byte(0);
  ASSERT_EQ(SetChunk(*effect, true, bank), 1);
  EXPECT_FALSE(effect->PresetAt(1)->initialised);
  EXPECT_TRUE(effect->LoadPreset(1));
  EXPECT_EQ(effect->PresetAt(1)->state.Size(), 32);
  EXPECT_STREQ(effect->PresetName(1), "user preset 1");
  const auto chunk = GetChunk(*effect, true);
  EXPECT_EQ(effect->SetChunk(true, chunk.data(), static_cast<int64_t>(chunk.size())), 1);
}

TEST(IEffectBaseChunks, ReadingDirectlyStopsWhereTheDataEnds) {
  auto effect = MakeEffect();
  StateBuffer buffer;
  buffer.AppendDouble(500.0);
  buffer.AppendDouble(2.0);
  buffer.AppendByte(1);
  effect->changes.clear();
  EXPECT_EQ(effect->ReadParamState(buffer, 0), -1);
  // The value where the data ran out becomes 0 clamped; later ones stay.
  EXPECT_EQ(LiveValues(*effect), (std::vector<double>{500.0, 2.0, 1.0, 0.0}));
  EXPECT_EQ(effect->changes, (std::vector<int32_t>{0, 1, 2, 3}));
  EXPECT_EQ(effect->ReadParamState(buffer, -1), -1);
  EXPECT_EQ(effect->changes.size(), 8u);

  StateBuffer bank;
  EXPECT_TRUE(effect->WritePresetBank(bank));
  EXPECT_FALSE(bank.Empty());
  TestEffect none(0);
  StateBuffer nothing;
  EXPECT_TRUE(none.WritePresetBank(nothing));
  EXPECT_TRUE(nothing.Empty());
}

// Thousands of damaged chunks, made from real ones by the kinds of damage a
// broken file or host produces: whatever the answer, every parameter ends
// inside its range, a refusal changes nothing, and an accepted chunk can be
// handed back and accepted again.
TEST(IEffectBaseChunks, RandomAndMutatedChunksNeverLeaveAParameterOutOfRange) {
  auto effect = MakeEffect();
  std::mt19937 random(20261209);
  auto pick = [&random](size_t below) {
    return below == 0 ? size_t{0} : std::uniform_int_distribution<size_t>(0, below - 1)(random);
  };
  const double specials[] = {std::numeric_limits<double>::quiet_NaN(),
                             std::numeric_limits<double>::infinity(),
                             -std::numeric_limits<double>::infinity(),
                             std::numeric_limits<double>::max(),
                             -std::numeric_limits<double>::denorm_min(),
                             -1e300,
                             0.0};
  const std::vector<uint8_t> programs[] = {GetChunk(*effect, false), GetChunk(*effect, true)};
  int accepted = 0;
  for (int round = 0; round < 4000; ++round) {
    const bool bank = round % 2 == 1;
    std::vector<uint8_t> chunk = programs[round % 2];
    switch (round % 5) {
    case 0: // bit flips
      for (int flips = 1 + static_cast<int>(pick(8)); flips > 0; --flips)
        chunk[pick(chunk.size())] ^= static_cast<uint8_t>(1u << pick(8));
      break;
    case 1: // cut short or grown with junk
      if (pick(2) == 0) {
        chunk.resize(pick(chunk.size()));
      } else {
        for (size_t extra = pick(64); extra > 0; --extra)
          chunk.push_back(static_cast<uint8_t>(pick(256)));
      }
      break;
    case 2: // a special double or a huge length written somewhere
    {
      const size_t at = pick(chunk.size());
      uint8_t bytes[8];
      if (pick(2) == 0) {
        std::memcpy(bytes, &specials[pick(std::size(specials))], 8);
      } else {
        const int32_t length = pick(2) == 0 ? INT32_MAX : -static_cast<int32_t>(pick(1000));
        std::memcpy(bytes, &length, 4);
        std::memcpy(bytes + 4, &length, 4);
      }
      for (size_t i = 0; i < 8 && at + i < chunk.size(); ++i)
        chunk[at + i] = bytes[i];
      break;
    }
    case 3: // noise of any length, sometimes behind a valid header
      chunk.assign(pick(300), 0);
      for (uint8_t& byte : chunk)
        byte = static_cast<uint8_t>(pick(256));
      if (pick(2) == 0 && chunk.size() >= 8) std::memcpy(chunk.data(), programs[0].data(), 8);
      break;
    default: // a slice of a valid chunk
    {
      const size_t from = pick(chunk.size());
      chunk = std::vector<uint8_t>(chunk.begin() + static_cast<std::ptrdiff_t>(from), chunk.end());
      break;
    }
    }

    const Observed before = Observe(*effect);
    const int32_t answer = effect->SetChunk(bank, chunk.data(), static_cast<int64_t>(chunk.size()));
    for (int32_t i = 0; i < effect->ParamCount(); ++i) {
      const double value = effect->ValueOf(i);
      ASSERT_GE(value, effect->Param(i)->Minimum()) << "round " << round << ", parameter " << i;
      ASSERT_LE(value, effect->Param(i)->Maximum()) << "round " << round << ", parameter " << i;
    }
    if (answer == 0) {
      ASSERT_EQ(Observe(*effect), before) << "round " << round;
    } else {
      ASSERT_EQ(answer, 1);
      ++accepted;
      const auto again = GetChunk(*effect, bank);
      ASSERT_EQ(effect->SetChunk(bank, again.data(), static_cast<int64_t>(again.size())), 1)
          << "round " << round;
    }
  }
  // Both answers were exercised, so neither check above ran empty.
  EXPECT_GT(accepted, 100);
  EXPECT_LT(accepted, 3900);
}

} // namespace quorvane
