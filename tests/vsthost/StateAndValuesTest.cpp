// What the host accepts from users before anything reaches the plug-in:
// state files, parameter texts; and what it hands out: dithered integers,
// JSON text.
#include "Dither.h"
#include "JsonWriter.h"
#include "ParamCatalogue.h"
#include "StateFile.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

const vsthost::PluginIdentity kPlugin{0x68687A32, 10000, 3, 2};

TEST(VstHostStateFile, RoundTripsBothForms) {
  const std::vector<uint8_t> chunk = {1, 2, 3, 4, 5};
  vsthost::ProgramState state;
  std::string error;
  ASSERT_TRUE(vsthost::ParseStateFile(vsthost::EncodeStateFile(kPlugin, "Sweep", chunk, {}),
                                      kPlugin, state, error))
      << error;
  EXPECT_EQ(state.chunk, chunk);
  EXPECT_EQ(state.programName, "Sweep");

  const std::vector<float> values = {0.0f, 0.25f, 1.0f};
  const auto file = vsthost::EncodeStateFile(kPlugin, "", {}, values);
  EXPECT_EQ(std::string(file.begin() + 8, file.begin() + 12), "FxCk");
  ASSERT_TRUE(vsthost::ParseStateFile(file, kPlugin, state, error)) << error;
  EXPECT_EQ(state.values, values);
}

TEST(VstHostStateFile, RefusesWhatIsNoStateOfThisPlugin) {
  const auto good = vsthost::EncodeStateFile(kPlugin, "x", std::vector<uint8_t>(112, 7), {});
  const std::vector<uint8_t> cut(good.begin(), good.end() - 1);
  auto longer = good;
  longer.push_back(0);
  auto bank = good;
  bank[11] = 'k'; // "FPCk" is no program form
  auto version = good;
  version[15] = 9;
  std::vector<uint8_t> riff = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
  riff.resize(200);
  std::vector<uint8_t> noise(150);
  for (size_t i = 0; i < noise.size(); ++i)
    noise[i] = static_cast<uint8_t>(i * 73 + 11);
  const vsthost::PluginIdentity other{0x41424344, 1, 3, 2};
  const auto otherPlugin = vsthost::EncodeStateFile(other, "x", {1}, {});
  const auto tooFewValues = vsthost::EncodeStateFile(kPlugin, "x", {}, {0.5f, 0.5f});
  auto notNormalised = vsthost::EncodeStateFile(kPlugin, "x", {}, {0.5f, 0.5f, 0.5f});
  notNormalised[notNormalised.size() - 4] = 0xFF; // far below 0

  const std::vector<const std::vector<uint8_t>*> refused = {
      &cut, &longer, &bank, &version, &riff, &noise, &otherPlugin, &tooFewValues, &notNormalised};
  for (const std::vector<uint8_t>* bytes : refused) {
    vsthost::ProgramState state;
    state.programName = "untouched";
    std::string error;
    EXPECT_FALSE(vsthost::ParseStateFile(*bytes, kPlugin, state, error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(state.programName, "untouched");
  }
}

TEST(VstHostBankFile, RoundTripsAndRefusesDamageWhole) {
  const std::vector<vsthost::ProgramState> programs = {{{}, {0.0f, 0.5f, 1.0f}, "One"},
                                                       {{}, {0.25f, 0.75f, 0.125f}, "Two"}};
  const auto good = vsthost::EncodeBankFile(kPlugin, programs, 1);
  EXPECT_EQ(good.size(), 156u + 2 * (56u + 12u));
  vsthost::ProgramBank bank;
  std::string error;
  ASSERT_TRUE(vsthost::ParseBankFile(good, kPlugin, bank, error)) << error;
  ASSERT_EQ(bank.programs.size(), 2u);
  EXPECT_EQ(bank.programs[1].values, programs[1].values);
  EXPECT_EQ(bank.programs[1].programName, "Two");
  EXPECT_EQ(bank.currentProgram, 1);

  const std::vector<uint8_t> cut(good.begin(), good.end() - 4);
  auto recordCut = good; // the second record claims more than there is
  recordCut[156 + 68 + 7] += 4;
  auto current = good;
  current[31] = 7;
  const auto threePrograms =
      vsthost::EncodeBankFile(kPlugin, {programs[0], programs[1], programs[0]}, 0);
  const auto program = vsthost::EncodeStateFile(kPlugin, "x", {}, {0.5f, 0.5f, 0.5f});
  const vsthost::PluginIdentity other{0x41424344, 1, 3, 2};
  const auto otherPlugin = vsthost::EncodeBankFile(other, programs, 0);
  const std::vector<const std::vector<uint8_t>*> refused = {
      &cut, &recordCut, &current, &threePrograms, &program, &otherPlugin};
  for (const std::vector<uint8_t>* bytes : refused) {
    vsthost::ProgramBank untouched;
    untouched.currentProgram = 9;
    EXPECT_FALSE(vsthost::ParseBankFile(*bytes, kPlugin, untouched, error));
    EXPECT_EQ(untouched.currentProgram, 9);
    EXPECT_TRUE(untouched.programs.empty());
  }
}

TEST(VstHostParamText, ChoicesNumbersAndUnits) {
  vsthost::ParamInfo type;
  type.name = "Filter Type";
  type.choices = {{"Lowpass", 0.1f}, {"Highpass", 0.5f}, {"Bandpass", 0.9f}};
  vsthost::ParamInfo freq;
  freq.name = "Filter Freq";
  freq.unit = "Hz";
  freq.numeric = true;
  freq.minValue = 20;
  freq.maxValue = 20000;

  struct Case {
    const vsthost::ParamInfo* param;
    const char* text;
    bool ok;
    float normalised;   // for a choice
    const char* number; // for a number; else a fragment of the error
  };
  const Case cases[] = {
      {&type, "highpass", true, 0.5f, ""},
      {&type, " BANDPASS ", true, 0.9f, ""},
      {&type, "band pass", false, 0, "Lowpass, Highpass, Bandpass"},
      {&type, "1", false, 0, "one of"},
      {&freq, "2000", true, 0, "2000"},
      {&freq, "2000 Hz", true, 0, "2000"},
      {&freq, "20000hz", true, 0, "20000"},
      {&freq, "2k", false, 0, "20..20000 Hz"},
      {&freq, "19.9", false, 0, "20..20000 Hz"},
      {&freq, "2000 kHz", false, 0, "20..20000 Hz"},
      {&freq, "0x10", false, 0, "Filter Freq"},
      {&freq, "inf", false, 0, "20..20000"},
      {&freq, "", false, 0, "20..20000"},
  };
  for (const Case& c : cases) {
    vsthost::ParamRequest request;
    std::string error;
    ASSERT_EQ(vsthost::ResolveParamText(*c.param, c.text, request, error), c.ok) << c.text;
    if (!c.ok) {
      EXPECT_NE(error.find(c.number), std::string::npos) << error;
    } else if (request.byNormalised) {
      EXPECT_EQ(request.normalised, c.normalised) << c.text;
    } else {
      EXPECT_EQ(request.number, c.number) << c.text;
    }
  }
}

TEST(VstHostDither, SixteenBitsKeepSubLsbDetailAndClip) {
  // A quarter of the last bit survives as an average, as with any TPDF dither;
  // plain rounding would give 0.
  vsthost::Dither dither(16);
  const float quarterBit = 0.25f / 32768.0f;
  double sum = 0.0;
  int worst = 0;
  const int n = 200000;
  for (int i = 0; i < n; ++i) {
    const int value = dither.Quantise(quarterBit) >> 16;
    sum += value;
    worst = std::max(worst, std::abs(value));
  }
  EXPECT_NEAR(sum / n, 0.25, 0.01);
  EXPECT_LE(worst, 1);
  EXPECT_EQ(dither.Quantise(4.0f) >> 16, 32767);
  EXPECT_EQ(dither.Quantise(-4.0f) >> 16, -32768);
  EXPECT_EQ(dither.Quantise(std::nanf("")), 0);
}

TEST(VstHostJson, EscapesAndKeepsTextValid) {
  vsthost::JsonWriter json;
  json.BeginObject().Key("a\"b").String("x\\y\n\x01").Key("n").Number(0.5);
  json.Key("bad").Number(std::nan("")).Key("latin1").String("caf\xE9");
  json.Key("utf8").String("\xCE\xA9").Key("list").BeginArray().Number(1).Bool(false);
  json.EndArray().EndObject();
  EXPECT_EQ(json.Text(), "{\"a\\\"b\":\"x\\\\y\\u000a\\u0001\",\"n\":0.5,\"bad\":null,"
                         "\"latin1\":\"caf\xC3\xA9\",\"utf8\":\"\xCE\xA9\",\"list\":[1,false]}");
}

} // namespace
