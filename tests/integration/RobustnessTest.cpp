#include "tests/integration/PluginFixture.h"

#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <set>
#include <vector>

namespace quorvane {

namespace {

// Opcodes the plug-in answers; every other one must answer 0.
const std::set<int32_t> kAnswered = {effGetProgram,
                                     effEditGetRect,
                                     effEditOpen,
                                     effEditClose,
                                     effIdentify,
                                     effGetChunk,
                                     effSetChunk,
                                     effProcessEvents,
                                     effCanBeAutomated,
                                     effString2Parameter,
                                     effGetProgramNameIndexed,
                                     effGetInputProperties,
                                     effGetOutputProperties,
                                     effGetPlugCategory,
                                     effSetSpeakerArrangement,
                                     effGetEffectName,
                                     effGetVendorString,
                                     effGetProductString,
                                     effGetVendorVersion,
                                     effVendorSpecific,
                                     effCanDo,
                                     effGetVstVersion,
                                     effGetMidiKeyName,
                                     effGetSpeakerArrangement};

// Opcodes whose index is a parameter index: a bad one answers 0 and writes nothing.
const std::set<int32_t> kParameterIndexed = {effGetParamLabel, effGetParamDisplay, effGetParamName,
                                             effString2Parameter};

class Random {
public:
  uint32_t Next() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
  }
  template <typename T, size_t N> T Pick(const std::array<T, N>& from) { return from[Next() % N]; }

private:
  uint32_t state = 0x2545F491u;
};

} // namespace

TEST_F(QuorvaneModuleTest, EveryOpcodeIndexAndPointerIsAnsweredSafely) {
  StartProcessing(512);
  alignas(16) static uint8_t buffer[4096];
  alignas(16) static uint8_t second[4096];
  const std::array<intptr_t, 6> values = {0, 1, 3, -1, 12345, 64};
  const std::array<float, 7> opts = {
      0.0f, 1.0f, -1.0f, 44100.0f, std::nanf(""), std::numeric_limits<float>::infinity(), 1e30f};
  Random random;
  for (int32_t opcode = -1; opcode <= 200; ++opcode) {
    if (opcode == effClose) continue;
    for (int32_t index = -5; index <= 1000; ++index) {
      for (bool withBuffer : {false, true}) {
        std::memset(buffer, 0, sizeof buffer);
        std::memset(second, 0, sizeof second);
        void* ptr = withBuffer ? buffer : nullptr;
        intptr_t value = random.Pick(values);
        // Where the value is a pointer or a byte count, only a valid one is meaningful.
        if (opcode == effSetSpeakerArrangement || opcode == effGetSpeakerArrangement)
          value = withBuffer ? reinterpret_cast<intptr_t>(second) : 0;
        if (opcode == effSetChunk)
          value = withBuffer ? static_cast<intptr_t>(value & 0xFFF) : value;
        const intptr_t answer = Dispatch(opcode, index, value, ptr, random.Pick(opts));
        const bool badParam = index < 0 || index >= kParamCount;
        if (kParameterIndexed.count(opcode) != 0 && badParam) {
          ASSERT_EQ(answer, 0) << "opcode " << opcode << " index " << index;
          ASSERT_EQ(buffer[0], 0) << "opcode " << opcode << " index " << index;
        }
        if (kAnswered.count(opcode) == 0) {
          ASSERT_EQ(answer, 0) << "opcode " << opcode << " index " << index;
        }
        if (!withBuffer && (opcode == effGetEffectName || opcode == effGetVendorString ||
                            opcode == effCanDo || opcode == effGetProgramNameIndexed)) {
          ASSERT_EQ(answer, 0) << "opcode " << opcode;
        }
      }
    }
  }

  // Still a working effect, every parameter in range.
  Dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
  Dispatch(effSetBlockSize, 0, 256);
  Dispatch(effMainsChanged, 0, 1);
  std::vector<float> in(256, 0.25f), out0(256), out1(256);
  float* ins[] = {in.data(), in.data()};
  float* outs[] = {out0.data(), out1.data()};
  effect->processReplacing(effect, ins, outs, 256);
  for (float s : out0)
    ASSERT_TRUE(std::isfinite(s));
  for (int32_t i = 0; i < kParamCount; ++i) {
    const float v = effect->getParameter(effect, i);
    EXPECT_TRUE(v >= 0.0f && v <= 1.0f) << i;
  }
}

TEST_F(QuorvaneModuleTest, BadParameterCallbacksAreIgnored) {
  for (int32_t index : {-5, -1, kParamCount, 1000, std::numeric_limits<int32_t>::max()}) {
    effect->setParameter(effect, index, 0.5f);
    EXPECT_EQ(effect->getParameter(effect, index), 0.0f);
  }
  for (float wild : {-3.0f, 7.0f, std::nanf(""), std::numeric_limits<float>::infinity()}) {
    effect->setParameter(effect, VSTCLASS::kParamFilterFreq, wild);
    const float v = effect->getParameter(effect, VSTCLASS::kParamFilterFreq);
    EXPECT_TRUE(v >= 0.0f && v <= 1.0f) << wild << " gave " << v;
  }
}

// A host that passes more frames than it announced is served in pieces: the result is the same
// as if it had announced the longer block, and nothing outside the host's buffers is touched.
TEST_F(QuorvaneModuleTest, BlocksLongerThanAnnouncedAreServedInPieces) {
  constexpr size_t kFrames = 3000, kGuard = 64;
  constexpr float kGuardValue = 12345.0f;
  std::vector<float> in(kFrames);
  for (size_t i = 0; i < kFrames; ++i)
    in[i] = static_cast<float>(std::sin(0.05 * i) * 0.5);

  auto render = [&](int32_t announced) {
    Create();
    StartProcessing(announced);
    Dispatch(effSetProgram, 0, 5);
    SendMidi({MakeMidi(0, 0x90, 60, 100)});
    std::vector<float> out0(kFrames + 2 * kGuard, kGuardValue), out1 = out0;
    float* ins[] = {in.data(), in.data()};
    float* outs[] = {out0.data() + kGuard, out1.data() + kGuard};
    effect->processReplacing(effect, ins, outs, static_cast<int32_t>(kFrames));
    for (size_t i = 0; i < kGuard; ++i) {
      EXPECT_EQ(out0[i], kGuardValue);
      EXPECT_EQ(out0[kGuard + kFrames + i], kGuardValue);
    }
    return std::vector<float>(out0.begin() + kGuard, out0.begin() + kGuard + kFrames);
  };
  const std::vector<float> whole = render(static_cast<int32_t>(kFrames));
  const std::vector<float> pieces = render(64);
  EXPECT_EQ(whole, pieces);

  std::vector<double> din(kFrames, 0.5), dout(kFrames + kGuard, 7.0);
  double* dins[] = {din.data(), din.data()};
  double* douts[] = {dout.data(), dout.data()};
  effect->processDoubleReplacing(effect, dins, douts, static_cast<int32_t>(kFrames));
  for (size_t i = kFrames; i < dout.size(); ++i)
    EXPECT_EQ(dout[i], 7.0);
}

TEST(QuorvaneModuleWithoutHost, ANullHostCallbackGivesAWorkingEffect) {
  VstPluginMainProc entry = LoadedPlugin().EntryPoint();
  ASSERT_NE(entry, nullptr);
  AEffect* effect = entry(nullptr);
  ASSERT_NE(effect, nullptr);
  auto dispatch = [&](int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
  };
  dispatch(effOpen, 0, 0, nullptr, 0.0f);
  dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
  dispatch(effSetBlockSize, 0, 128, nullptr, 0.0f);
  dispatch(effMainsChanged, 0, 1, nullptr, 0.0f);
  dispatch(effSetProgram, 0, 5, nullptr, 0.0f);
  VstEventList list{MakeMidi(0, 0x90, 60, 100)};
  EXPECT_EQ(dispatch(effProcessEvents, 0, 0, list.Get(), 0.0f), 1);
  effect->setParameter(effect, VSTCLASS::kParamFilterFreq, 0.5f);
  std::vector<float> in(128, 0.5f), out(128);
  float* ins[] = {in.data(), in.data()};
  float* outs[] = {out.data(), out.data()};
  effect->processReplacing(effect, ins, outs, 128);
  for (float s : out)
    EXPECT_TRUE(std::isfinite(s));
  dispatch(effMainsChanged, 0, 0, nullptr, 0.0f);
  dispatch(effClose, 0, 0, nullptr, 0.0f);
}

} // namespace quorvane
