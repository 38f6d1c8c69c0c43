#include "tests/integration/PluginFixture.h"

#include <cmath>
#include <cstring>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#endif

namespace quorvane {

namespace {

bool AllFinite(const std::vector<float>& samples) {
  for (float s : samples)
    if (!std::isfinite(s)) return false;
  return true;
}

std::vector<float> Noise(size_t n, uint32_t seed) {
  std::vector<float> out(n);
  for (float& s : out) {
    seed = seed * 1664525u + 1013904223u;
    s = static_cast<float>(seed >> 8) / 16777216.0f - 0.5f;
  }
  return out;
}

} // namespace

TEST(QuorvaneModuleExports, BothEntryPointsAreOne) {
  vsthost::PluginModule& module = LoadedPlugin();
  void* main = module.Symbol("main");
  EXPECT_NE(main, nullptr);
  EXPECT_EQ(module.Symbol("VSTPluginMain"), main);
  EXPECT_EQ(module.Symbol("CreateEffectInstance"), nullptr);
}

TEST_F(QuorvaneModuleTest, RecordDescribesTheEffect) {
  EXPECT_EQ(effect->numParams, kParamCount);
  EXPECT_EQ(effect->numPrograms, kProgramCount);
  EXPECT_EQ(effect->numInputs, 2);
  EXPECT_EQ(effect->numOutputs, 2);
  EXPECT_EQ(effect->uniqueID, 0x68687A32);
  EXPECT_EQ(effect->version, 10000);
  EXPECT_EQ(effect->initialDelay, 0);
  const int32_t expected = effFlagsCanReplacing | effFlagsCanDoubleReplacing | effFlagsCanMono;
  EXPECT_EQ(effect->flags & ~effFlagsHasEditor, expected);
  EXPECT_EQ(Text(effGetEffectName), "Quorvane");
  EXPECT_EQ(Text(effGetVendorString), "Kelto");
  EXPECT_EQ(Text(effGetProductString), "");
  EXPECT_EQ(Dispatch(effGetVendorVersion), 10000);
  EXPECT_EQ(Dispatch(effGetPlugCategory), kPlugCategEffect);
}

#if defined(_WIN32)
// A host that loads the plug-in only to list it pays for no dialog, tooltip,
// shell or internet library: the editor loads those when it needs them.
TEST_F(QuorvaneModuleTest, LoadingPullsInNoDialogShellOrInternetLibrary) {
  for (const char* library : {"comctl32.dll", "comdlg32.dll", "shell32.dll", "wininet.dll"})
    EXPECT_EQ(GetModuleHandleA(library), nullptr) << library;
}
#endif

TEST_F(QuorvaneModuleTest, WholeLifecycle) {
  constexpr int32_t kBlock = 128;
  StartProcessing(kBlock);
  std::vector<float> in0 = Noise(kBlock, 1), in1 = Noise(kBlock, 2);
  std::vector<float> out0(kBlock, 9.0f), out1(kBlock, 9.0f);
  float* ins[] = {in0.data(), in1.data()};
  float* outs[] = {out0.data(), out1.data()};
  host.Clear();
  effect->processReplacing(effect, ins, outs, kBlock);
  EXPECT_TRUE(AllFinite(out0));
  EXPECT_NE(out0, std::vector<float>(kBlock, 9.0f));
  effect->process(effect, ins, outs, kBlock);
  EXPECT_TRUE(AllFinite(out1));

  std::vector<double> d0(kBlock, 0.25), d1(kBlock, -0.25), o0(kBlock), o1(kBlock);
  double* dins[] = {d0.data(), d1.data()};
  double* douts[] = {o0.data(), o1.data()};
  effect->processDoubleReplacing(effect, dins, douts, kBlock);
  for (double s : o0)
    EXPECT_TRUE(std::isfinite(s));

  EXPECT_EQ(host.Count(audioMasterWantMidi), 3);
  for (const HostCall& call : host.calls)
    EXPECT_EQ(call.effect, effect);
  Dispatch(effMainsChanged, 0, 0);
  Close();
}

TEST_F(QuorvaneModuleTest, AccumulatingAddsWhatReplacingWrites) {
  constexpr int32_t kBlock = 64;
  std::vector<float> in = Noise(kBlock, 3);
  float* ins[] = {in.data(), in.data()};
  std::vector<float> replaced(kBlock), accumulated(kBlock, 1.0f), scratch(kBlock);
  StartProcessing(kBlock);
  float* outsReplaced[] = {replaced.data(), scratch.data()};
  effect->processReplacing(effect, ins, outsReplaced, kBlock);
  // A fresh instance in the same state accumulates onto the host's buffer.
  Create();
  StartProcessing(kBlock);
  float* outsAccumulated[] = {accumulated.data(), scratch.data()};
  effect->process(effect, ins, outsAccumulated, kBlock);
  for (size_t i = 0; i < kBlock; ++i)
    EXPECT_EQ(accumulated[i], 1.0f + replaced[i]) << i;
}

TEST_F(QuorvaneModuleTest, ParameterNamesLabelsAndDisplays) {
  const char* names[kParamCount] = {"Filter Type",      "Filter Freq",
                                    "Filter Bandwidth", "Filter Mix",
                                    "ENV Target",       "ENV Attack",
                                    "ENV Decay",        "ENV Sustain",
                                    "ENV Release",      "ENV Depth",
                                    "ENV Direction",    "ENV Vol Compensation",
                                    "ENV Compensation", ""};
  const char* labels[kParamCount] = {"",  "Hz", "%", "%", "",   "ms", "ms",
                                     "%", "ms", "%", "",  "dB", "",   ""};
  const char* displays[kParamCount] = {"Highpass", "20",  "20", "100", "No Assign", "800",   "500",
                                       "90",       "700", "90", "Up",  "6",         "Right", "0"};
  for (int32_t i = 0; i < kParamCount; ++i) {
    EXPECT_EQ(Text(effGetParamName, i), names[i]) << i;
    EXPECT_EQ(Text(effGetParamLabel, i), labels[i]) << i;
    EXPECT_EQ(Text(effGetParamDisplay, i), displays[i]) << i;
  }
  char untouched[8] = "xxxxxxx";
  EXPECT_EQ(Dispatch(effGetParamName, kParamCount, 0, untouched), 0);
  EXPECT_STREQ(untouched, "xxxxxxx");
}

TEST_F(QuorvaneModuleTest, AutomationLandsInGetParameter) {
  Dispatch(effOpen);
  effect->setParameter(effect, VSTCLASS::kParamFilterFreq, 0.5f);
  EXPECT_FLOAT_EQ(effect->getParameter(effect, VSTCLASS::kParamFilterFreq), 0.5f);
  EXPECT_EQ(Text(effGetParamDisplay, VSTCLASS::kParamFilterFreq), "5015");
  effect->setParameter(effect, VSTCLASS::kParamFilterType, 1.0f);
  EXPECT_EQ(Text(effGetParamDisplay, VSTCLASS::kParamFilterType), "Bandpass");
  effect->setParameter(effect, VSTCLASS::kParamEnvTarget, 0.34f);
  EXPECT_EQ(Text(effGetParamDisplay, VSTCLASS::kParamEnvTarget), "Filter Freq");
  for (int32_t i = 0; i < kParamCount; ++i) {
    effect->setParameter(effect, i, 1.0f);
    EXPECT_EQ(effect->getParameter(effect, i), 1.0f) << i;
    effect->setParameter(effect, i, 0.0f);
    EXPECT_EQ(effect->getParameter(effect, i), 0.0f) << i;
  }
  EXPECT_EQ(effect->getParameter(effect, kParamCount), 0.0f);
}

TEST_F(QuorvaneModuleTest, ProgramsByNumberAndName) {
  const char* names[kProgramCount] = {
      "---- default ----",     "1 oct bandwidth",   "1x2 oct bandwidth",
      "2x2 oct bandwidth",     "3x2 oct bandwidth", "Glissando",
      "Glissando Decrescendo", "High Frequencies",  "Low Frequencies",
      "Middle Frequencies",    "Uplifting",         "- 12 -"};
  for (int32_t i = 0; i < kProgramCount; ++i) {
    EXPECT_EQ(Text(effGetProgramNameIndexed, i), names[i]);
  }
  Dispatch(effSetProgram, 0, 6);
  EXPECT_EQ(Dispatch(effGetProgram), 6);
  EXPECT_EQ(Text(effGetProgramName), "Glissando Decrescendo");
  EXPECT_EQ(Text(effGetParamDisplay, VSTCLASS::kParamEnvDirection), "Down");
  EXPECT_EQ(Text(effGetParamDisplay, VSTCLASS::kParamEnvCompensation), "Left");
  Dispatch(effSetProgram, 0, 0);
  EXPECT_EQ(Text(effGetParamDisplay, VSTCLASS::kParamFilterType), "Highpass");
  EXPECT_EQ(Text(effGetParamDisplay, VSTCLASS::kParamEnvCompensation), "Right");
}

TEST_F(QuorvaneModuleTest, ProgramAndBankChunksRoundTripBitForBit) {
  Dispatch(effOpen);
  Dispatch(effSetProgram, 0, 10);
  effect->setParameter(effect, VSTCLASS::kParamFilterMix, 0.37f);
  const std::vector<uint8_t> program = Chunk(false);
  ASSERT_EQ(program.size(), 120u);
  EXPECT_EQ(std::memcmp(program.data(), "\x74\x66\x66\x70\x00\x00\x01\x00", 8), 0);
  const std::vector<uint8_t> bank = Chunk(true);
  ASSERT_GT(bank.size(), 8u);

  Dispatch(effSetProgram, 0, 1);
  effect->setParameter(effect, VSTCLASS::kParamFilterFreq, 0.9f);
  EXPECT_EQ(SetChunk(false, program), 1);
  EXPECT_EQ(Chunk(false), program);

  Create();
  Dispatch(effOpen);
  EXPECT_EQ(SetChunk(true, bank), 1);
  EXPECT_EQ(Chunk(true), bank);
}

TEST_F(QuorvaneModuleTest, ADamagedChunkIsRefusedAndLeavesEveryParameterInRange) {
  Dispatch(effOpen);
  std::vector<uint8_t> program = Chunk(false);
  std::vector<float> before;
  for (int32_t i = 0; i < kParamCount; ++i)
    before.push_back(effect->getParameter(effect, i));

  std::vector<uint8_t> truncated(program.begin(), program.begin() + 50);
  EXPECT_EQ(SetChunk(false, truncated), 0);
  std::vector<uint8_t> headerOnly(program.begin(), program.begin() + 6);
  EXPECT_EQ(SetChunk(false, headerOnly), 0);
  std::vector<uint8_t> bank = Chunk(true);
  bank.resize(bank.size() / 2);
  EXPECT_EQ(SetChunk(true, bank), 0);

  // Whole but absurd values: accepted, clamped into range.
  std::vector<uint8_t> wild = program;
  const double values[] = {1e300, -1e300, std::nan("")};
  for (size_t p = 0; p < kParamCount; ++p)
    std::memcpy(&wild[8 + 8 * p], &values[p % 3], 8);
  SetChunk(false, wild);
  for (int32_t i = 0; i < kParamCount; ++i) {
    const float v = effect->getParameter(effect, i);
    EXPECT_TRUE(v >= 0.0f && v <= 1.0f) << i << " " << v;
  }
}

TEST_F(QuorvaneModuleTest, EveryMidiEventComesBackUnchanged) {
  StartProcessing(256);
  std::vector<VstMidiEvent> sent = {MakeMidi(0, 0x90, 60, 100), MakeMidi(5, 0x80, 60, 0),
                                    MakeMidi(17, 0xB0, 7, 127), MakeMidi(31, 0xE0, 0, 64),
                                    MakeMidi(40, 0x90, 72, 0),  MakeMidi(255, 0xF8, 0, 0)};
  host.Clear();
  SendMidi(sent);
  ASSERT_EQ(host.midiReceived.size(), sent.size());
  for (size_t i = 0; i < sent.size(); ++i) {
    const VstMidiEvent& got = host.midiReceived[i];
    EXPECT_EQ(got.deltaFrames, sent[i].deltaFrames) << i;
    EXPECT_EQ(std::memcmp(got.midiData, sent[i].midiData, 3), 0) << i;
    EXPECT_EQ(got.byteSize, 32);
  }
}

TEST_F(QuorvaneModuleTest, NotesOpenAndCloseTheEnvelope) {
  constexpr int32_t kBlock = 512;
  StartProcessing(kBlock);
  Dispatch(effSetProgram, 0, 5); // Glissando: the envelope drives the frequency
  std::vector<float> in = Noise(kBlock, 4), out0(kBlock), out1(kBlock);
  float* ins[] = {in.data(), in.data()};
  float* outs[] = {out0.data(), out1.data()};
  auto energy = [&](int blocks) {
    double sum = 0;
    for (int b = 0; b < blocks; ++b) {
      effect->processReplacing(effect, ins, outs, kBlock);
      for (float s : out0)
        sum += static_cast<double>(s) * s;
    }
    return sum;
  };
  const double idle = energy(20);
  SendMidi({MakeMidi(0, 0x90, 60, 100)});
  const double held = energy(40);
  EXPECT_GT(std::fabs(held / 2 - idle), 0.01 * idle);
}

TEST_F(QuorvaneModuleTest, CapabilitiesAndHostExtensions) {
  auto canDo = [&](const char* text) {
    std::string copy = text;
    return Dispatch(effCanDo, 0, 0, &copy[0]);
  };
  for (const char* yes : {"receiveVstTimeInfo", "receiveVstEvents", "receiveVstMidiEvent",
                          "sendVstEvents", "sendVstMidiEvent"}) {
    EXPECT_EQ(canDo(yes), 1) << yes;
  }
  for (const char* no : {"receiveVstTimeInfo ", "bypass", "MPE", "supportsViewDpiScaling", ""}) {
    EXPECT_EQ(canDo(no), 0) << no;
  }
  EXPECT_EQ(Dispatch(effCanDo, 0, 0, nullptr), 0);

  char text[32] = "Highpass";
  EXPECT_EQ(Dispatch(effVendorSpecific, effString2Parameter, 0, text), 0xBEEF);
  EXPECT_STREQ(text, "0.50000000000000000");
  EXPECT_EQ(Dispatch(effVendorSpecific, effGetParamName, VSTCLASS::kParamEnvDirection),
            0xBEEF); // Up/Down
  EXPECT_EQ(Dispatch(effVendorSpecific, effGetParamName, VSTCLASS::kParamFilterType), 0);
  EXPECT_EQ(Dispatch(effVendorSpecific, effGetParamName, VSTCLASS::kParamEnvReset), 0);
  char display[32] = {};
  EXPECT_EQ(
      Dispatch(effVendorSpecific, effGetParamDisplay, VSTCLASS::kParamFilterFreq, display, 0.5f),
      0xBEEF);
  EXPECT_STREQ(display, "5015");
  char number[] = "99999";
  EXPECT_EQ(Dispatch(effString2Parameter, 1, 0, number), 1);
  EXPECT_EQ(Text(effGetParamDisplay, VSTCLASS::kParamFilterFreq), "20000");
  EXPECT_EQ(Dispatch(effGetVstVersion), 2400);
  EXPECT_EQ(Dispatch(effIdentify), 0x4E764566);
}

TEST_F(QuorvaneModuleTest, PinsAndSpeakerArrangements) {
  VstPinProperties pin{};
  EXPECT_EQ(Dispatch(effGetInputProperties, 0, 0, &pin), 1);
  EXPECT_EQ(pin.flags, kVstPinIsActive | kVstPinIsStereo);
  EXPECT_STREQ(pin.label, "Input 1");
  EXPECT_EQ(Dispatch(effGetInputProperties, 1, 0, &pin), 1);
  EXPECT_EQ(pin.flags, kVstPinIsActive);
  EXPECT_EQ(Dispatch(effGetInputProperties, 2, 0, &pin), 0);

  constexpr int32_t kBlock = 64;
  StartProcessing(kBlock);
  VstSpeakerArrangement mono{};
  mono.type = kSpeakerArrMono;
  mono.numChannels = 1;
  EXPECT_EQ(Dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<intptr_t>(&mono), nullptr), 1);
  // Input 1 now reads silence whatever the host passes: channel 1 of the output is silent.
  std::vector<float> silent(kBlock, 0.0f), loud = Noise(kBlock, 5), out0(kBlock), out1(kBlock);
  float* ins[] = {silent.data(), loud.data()};
  float* outs[] = {out0.data(), out1.data()};
  effect->processReplacing(effect, ins, outs, kBlock);
  for (float s : out1)
    EXPECT_LT(std::fabs(s), 1e-6f);

  VstSpeakerArrangement* in = nullptr;
  VstSpeakerArrangement* out = nullptr;
  EXPECT_EQ(Dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<intptr_t>(&in), &out), 1);
  ASSERT_NE(in, nullptr);
  EXPECT_EQ(in->type, kSpeakerArrStereo);
  EXPECT_EQ(in->numChannels, 2);
}

TEST_F(QuorvaneModuleTest, TheHostIsIdentifiedOnceAtOpen) {
  host.productString = "Cubase Pro";
  host.vendorVersion = 120000;
  Dispatch(effOpen);
  EXPECT_EQ(host.Count(audioMasterGetProductString), 1);
  EXPECT_EQ(host.Count(audioMasterGetVendorVersion), 1);
  host.Clear();
  Dispatch(effOpen);
  EXPECT_EQ(host.Count(audioMasterGetProductString), 0);
  EXPECT_EQ(host.Count(audioMasterGetVendorVersion), 0);
}

TEST_F(QuorvaneModuleTest, ANewInstanceKeepsNoStateOfAnother) {
  effect->setParameter(effect, VSTCLASS::kParamFilterFreq, 1.0f);
  AEffect* first = effect;
  effect = LoadedPlugin().EntryPoint()(host.Callback());
  ASSERT_NE(effect, nullptr);
  EXPECT_NE(effect, first);
  EXPECT_EQ(Text(effGetParamDisplay, VSTCLASS::kParamFilterFreq), "20");
  first->dispatcher(first, effClose, 0, 0, nullptr, 0.0f);
}

} // namespace quorvane
