// A validator's list against the loaded module: random program changes, state restoration,
// processing at the common rates with every block size (and blocks longer than announced),
// dense automation, the editor opened while processing and many times over, and opcodes in
// unusual orders.

#include "tests/integration/PluginFixture.h"

#if defined(_WIN32)
#include "editor_win32/EditorHostFrame.h"
#endif

#include <cmath>
#include <random>
#include <vector>

namespace quorvane {

namespace {

class Validator : public QuorvaneModuleTest {
protected:
  std::vector<float> Parameters() {
    std::vector<float> values;
    for (int32_t i = 0; i < kParamCount; ++i)
      values.push_back(effect->getParameter(effect, i));
    return values;
  }

  // One block of noise through all three callbacks; true when every output is finite.
  bool Process(int32_t frames) {
    in.resize(frames);
    left.resize(frames);
    right.resize(frames);
    dIn.resize(frames);
    dLeft.resize(frames);
    dRight.resize(frames);
    for (int32_t i = 0; i < frames; ++i)
      dIn[i] = in[i] = uniform(generator);
    float* ins[] = {in.data(), in.data()};
    float* outs[] = {left.data(), right.data()};
    double* dIns[] = {dIn.data(), dIn.data()};
    double* dOuts[] = {dLeft.data(), dRight.data()};
    effect->processReplacing(effect, ins, outs, frames);
    bool finite = AllFinite();
    effect->process(effect, ins, outs, frames);
    finite = finite && AllFinite();
    effect->processDoubleReplacing(effect, dIns, dOuts, frames);
    for (int32_t i = 0; i < frames; ++i)
      finite = finite && std::isfinite(dLeft[i]) && std::isfinite(dRight[i]);
    return finite;
  }

  bool AllFinite() const {
    for (std::size_t i = 0; i < left.size(); ++i)
      if (!std::isfinite(left[i]) || !std::isfinite(right[i])) return false;
    return true;
  }

  std::mt19937 generator{1234};
  std::uniform_real_distribution<float> uniform{-1.0f, 1.0f};
  std::uniform_real_distribution<float> unit{0.0f, 1.0f};
  std::vector<float> in, left, right;
  std::vector<double> dIn, dLeft, dRight;
};

TEST_F(Validator, RandomProgramsThenTheOriginalIsRestored) {
  StartProcessing(256);
  const intptr_t original = Dispatch(effGetProgram);
  const std::vector<float> before = Parameters();
  for (int i = 0; i < 60; ++i) {
    const auto program = static_cast<intptr_t>(generator() % kProgramCount);
    Dispatch(effSetProgram, 0, program);
    ASSERT_EQ(Dispatch(effGetProgram), program);
    for (float v : Parameters())
      ASSERT_TRUE(v >= 0.0f && v <= 1.0f) << v;
    ASSERT_TRUE(Process(64));
  }
  Dispatch(effSetProgram, 0, original);
  EXPECT_EQ(Dispatch(effGetProgram), original);
  EXPECT_EQ(Parameters(), before);
}

TEST_F(Validator, StateIsRestoredExactly) {
  StartProcessing(256);
  Dispatch(effSetProgram, 0, 5);
  for (bool bank : {false, true}) {
    const std::vector<uint8_t> state = Chunk(bank);
    ASSERT_FALSE(state.empty());
    const std::vector<float> before = Parameters();
    for (int32_t i = 0; i < kParamCount; ++i)
      effect->setParameter(effect, i, unit(generator));
    ASSERT_TRUE(Process(128));
    ASSERT_EQ(SetChunk(bank, state), 1);
    EXPECT_EQ(Parameters(), before) << (bank ? "bank" : "program");
    EXPECT_EQ(Chunk(bank), state) << (bank ? "bank" : "program");
  }
}

TEST_F(Validator, ATruncatedStateIsRefusedAndChangesNothing) {
  StartProcessing(256);
  for (bool bank : {false, true}) {
    Dispatch(effSetProgram, 0, 9);
    const std::vector<uint8_t> state = Chunk(bank);
    Dispatch(effSetProgram, 0, 2);
    const std::vector<float> before = Parameters();
    const std::size_t step = state.size() / 50 + 1;
    for (std::size_t length = 0; length < state.size(); length += step) {
      const std::vector<uint8_t> cut(state.begin(), state.begin() + length);
      EXPECT_EQ(SetChunk(bank, cut), 0) << length;
      ASSERT_EQ(Parameters(), before) << (bank ? "bank" : "program") << ", " << length;
    }
  }
}

TEST_F(Validator, EveryRateAndBlockSizeIncludingBlocksLongerThanAnnounced) {
  Dispatch(effOpen);
  for (float rate : {44100.0f, 48000.0f, 96000.0f}) {
    for (int32_t frames : {1, 2, 3, 16, 17, 64, 100, 511, 512, 1024, 2048, 4096}) {
      Dispatch(effMainsChanged, 0, 0);
      Dispatch(effSetSampleRate, 0, 0, nullptr, rate);
      Dispatch(effSetBlockSize, 0, frames);
      Dispatch(effMainsChanged, 0, 1);
      SendMidi({MakeMidi(0, 0x90, 64, 110)});
      for (int block = 0; block < 3; ++block)
        ASSERT_TRUE(Process(frames)) << rate << " Hz, " << frames << " frames";
    }
    // Announced 64, handed 4096 and more.
    Dispatch(effMainsChanged, 0, 0);
    Dispatch(effSetBlockSize, 0, 64);
    Dispatch(effMainsChanged, 0, 1);
    ASSERT_TRUE(Process(4096)) << rate;
    ASSERT_TRUE(Process(10000)) << rate;
  }
}

TEST_F(Validator, AutomationEvery32SamplesOnEveryParameter) {
  StartProcessing(32);
  SendMidi({MakeMidi(0, 0x90, 60, 100)});
  for (int block = 0; block < 400; ++block) {
    for (int32_t i = 0; i < kParamCount; ++i)
      effect->setParameter(effect, i, unit(generator));
    if (block % 50 == 25) SendMidi({MakeMidi(3, 0x80, 60, 0), MakeMidi(9, 0x90, 60, 90)});
    ASSERT_TRUE(Process(32)) << block;
  }
  for (float v : Parameters())
    EXPECT_TRUE(v >= 0.0f && v <= 1.0f);
}

TEST_F(Validator, UnusualOpcodeOrdersAreSafe) {
  // Processing before effOpen.
  ASSERT_TRUE(Process(256));
  Close();
  // effClose right after creation.
  Create();
  Close();
  // Editor requests before anything else.
  Create();
  ERect* rect = nullptr;
  Dispatch(effEditGetRect, 0, 0, &rect);
  Dispatch(effEditIdle);
  Dispatch(effEditClose);
  Dispatch(effEditGetRect, 0, 0, nullptr);
  // effMainsChanged twice each way, and suspend before any resume.
  Close();
  Create();
  Dispatch(effMainsChanged, 0, 0);
  Dispatch(effOpen);
  Dispatch(effMainsChanged, 0, 1);
  Dispatch(effMainsChanged, 0, 1);
  ASSERT_TRUE(Process(128));
  Dispatch(effMainsChanged, 0, 0);
  Dispatch(effMainsChanged, 0, 0);
  ASSERT_TRUE(Process(128));
  // Opened twice, closed while resumed.
  Dispatch(effOpen);
  Dispatch(effMainsChanged, 0, 1);
}

#if defined(_WIN32)
TEST_F(Validator, TheEditorOpensWhileProcessingAndManyTimesOver) {
  StartProcessing(256);
  for (int round = 0; round < 8; ++round) {
    quorvane::EditorHostFrame frame;
    ASSERT_TRUE(frame.Open(effect)) << round;
    for (int block = 0; block < 4; ++block) {
      effect->setParameter(effect, block % kParamCount, unit(generator));
      ASSERT_TRUE(Process(256));
      quorvane::EditorHostFrame::Pump(5);
    }
    frame.Close();
    ASSERT_TRUE(Process(256));
  }
}
#else
TEST_F(Validator, EditorRequestsWithoutAWindowAreAnsweredSafely) {
  StartProcessing(256);
  for (int round = 0; round < 25; ++round) {
    ERect* rect = nullptr;
    Dispatch(effEditGetRect, 0, 0, &rect);
    Dispatch(effEditOpen, 0, 0, nullptr);
    ASSERT_TRUE(Process(256));
    Dispatch(effEditIdle);
    Dispatch(effEditClose);
  }
}
#endif

} // namespace

} // namespace quorvane
