#include "tests/framework/TestEffect.h"

#include <gtest/gtest.h>

#include <vector>

namespace quorvane {

namespace {

// Records what ProcessBlock sees, then adds `offset` to a pass-through of the base.
class ChannelEffect : public TestEffect {
public:
  explicit ChannelEffect(const char* spec = "1-1 2-2") : TestEffect(1, spec) {}

  void ProcessBlock(double** in, double** out, int32_t frames) override {
    blocks.push_back(frames);
    seenInputs.assign(in, in + InputCount());
    seenOutputs.assign(out, out + OutputCount());
    firstInputSample.clear();
    for (int32_t c = 0; c < InputCount(); ++c)
      firstInputSample.push_back(frames > 0 ? in[c][0] : -1.0);
    IEffectBase::ProcessBlock(in, out, frames);
    for (int32_t c = 0; c < OutputCount(); ++c)
      for (int32_t j = 0; j < frames; ++j)
        out[c][j] += offset;
  }

  double offset = 0.0;
  std::vector<int32_t> blocks;
  std::vector<double*> seenInputs;
  std::vector<double*> seenOutputs;
  std::vector<double> firstInputSample;
};

void ConnectAll(IEffectBase& effect) {
  effect.ConnectInputs(0, effect.InputCount(), true);
  effect.ConnectOutputs(0, effect.OutputCount(), true);
}

std::vector<float> Ramp(int n, float start) {
  std::vector<float> v(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i)
    v[static_cast<size_t>(i)] = start + 0.25f * static_cast<float>(i);
  return v;
}

} // namespace

TEST(IEffectBaseChannels, SpecificationTextGivesSpecsAndChannelCounts) {
  ChannelEffect effect("1-1 2-2");
  ASSERT_EQ(effect.ChannelSpecs().size(), 2u);
  EXPECT_EQ(effect.ChannelSpecs()[0].inputs, 1);
  EXPECT_EQ(effect.ChannelSpecs()[1].outputs, 2);
  EXPECT_EQ(effect.InputCount(), 2);
  EXPECT_EQ(effect.OutputCount(), 2);
  EXPECT_TRUE(effect.AcceptsChannelCounts(1, -1));
  EXPECT_TRUE(effect.AcceptsChannelCounts(2, 2));
  EXPECT_TRUE(effect.AcceptsChannelCounts(-1, -1));
  EXPECT_FALSE(effect.AcceptsChannelCounts(2, 1));
  EXPECT_FALSE(effect.AcceptsChannelCounts(0, -1));
  EXPECT_FALSE(effect.InputConnected(0));
  EXPECT_FALSE(effect.InputConnected(5));

  ChannelEffect odd("x 3- 1-4");
  ASSERT_EQ(odd.ChannelSpecs().size(), 3u);
  EXPECT_EQ(odd.ChannelSpecs()[0].inputs, 0);
  EXPECT_EQ(odd.ChannelSpecs()[1].inputs, 3);
  EXPECT_EQ(odd.ChannelSpecs()[1].outputs, 1); // like "%d", the count may follow a space
  EXPECT_EQ(odd.InputCount(), 3);
  EXPECT_EQ(odd.OutputCount(), 4);

  ChannelEffect none(nullptr);
  EXPECT_TRUE(none.ChannelSpecs().empty());
  EXPECT_FALSE(none.AcceptsChannelCounts(-1, -1));
  ChannelEffect huge("99999999999-2");
  EXPECT_EQ(huge.InputCount(), 256);
}

TEST(IEffectBaseChannels, ConnectingIsLimitedToExistingChannels) {
  ChannelEffect effect("4-4");
  effect.ConnectInputs(-2, 4, true);
  EXPECT_TRUE(effect.InputConnected(0));
  EXPECT_TRUE(effect.InputConnected(1));
  EXPECT_FALSE(effect.InputConnected(2));
  effect.ConnectInputs(3, 100, true);
  EXPECT_TRUE(effect.InputConnected(3));
  effect.ConnectInputs(0, 0, false);
  effect.ConnectInputs(0, -3, false);
  EXPECT_TRUE(effect.InputConnected(0));
  effect.ConnectOutputs(2147483000, 2147483000, true);
  EXPECT_FALSE(effect.OutputConnected(3));
}

TEST(IEffectBaseChannels, BlockSizeSizesAndClearsTheScratch) {
  ChannelEffect effect;
  ConnectAll(effect);
  effect.PrepareBlockSize(64);
  EXPECT_EQ(effect.BlockSize(), 64);
  std::vector<float> in = Ramp(64, 1.0f);
  std::vector<float> out(64);
  float* ins[2] = {in.data(), in.data()};
  float* outs[2] = {out.data(), out.data()};
  effect.ProcessHostFloat(ins, outs, 64, false);
  const double* scratch = effect.InputSlots()[0];
  effect.PrepareBlockSize(64); // same size: contents stay
  EXPECT_EQ(effect.InputSlots()[0][63], in[63]);
  effect.PrepareBlockSize(-5);
  EXPECT_EQ(effect.BlockSize(), 64);
  effect.ConnectInputs(0, 2, false);
  effect.PrepareBlockSize(128);
  EXPECT_EQ(effect.BlockSize(), 128);
  for (int j = 0; j < 128; ++j)
    ASSERT_EQ(effect.InputSlots()[0][j], 0.0);
  (void)scratch;
  effect.PrepareBlockSize(0);
  EXPECT_EQ(effect.BlockSize(), 0);
}

TEST(IEffectBaseChannels, DoubleBuffersGoStraightToTheEffect) {
  ChannelEffect effect;
  ConnectAll(effect);
  effect.PrepareBlockSize(16);
  effect.ConnectInputs(1, 1, false);
  std::vector<double> a(16, 0.5), b(16, 0.75), left(16), right(16);
  double* ins[2] = {a.data(), b.data()};
  double* outs[2] = {left.data(), right.data()};
  effect.ProcessHostDouble(ins, outs, 16);
  ASSERT_EQ(effect.blocks, std::vector<int32_t>{16});
  EXPECT_EQ(effect.seenInputs[0], a.data());
  EXPECT_NE(effect.seenInputs[1], b.data()); // the second host pointer is ignored
  EXPECT_EQ(effect.seenOutputs[0], left.data());
  EXPECT_EQ(effect.seenOutputs[1], right.data());
  EXPECT_EQ(left[15], 0.5);
  EXPECT_EQ(right[15], 0.0); // the unconnected input reads silence
}

TEST(IEffectBaseChannels, HostOutputPointersFeedConnectedOutputsInOrder) {
  ChannelEffect effect;
  ConnectAll(effect);
  effect.PrepareBlockSize(8);
  effect.ConnectOutputs(0, 1, false);
  std::vector<double> in0(8, 1.0), in1(8, 2.0), first(8, -1.0), second(8, -1.0);
  double* ins[2] = {in0.data(), in1.data()};
  double* outs[2] = {first.data(), second.data()};
  effect.ProcessHostDouble(ins, outs, 8);
  EXPECT_EQ(effect.seenOutputs[1], first.data());
  EXPECT_EQ(first[0], 2.0);
  EXPECT_EQ(second[0], -1.0);
}

TEST(IEffectBaseChannels, FloatReplacingOverwritesAndAccumulatingAdds) {
  ChannelEffect effect;
  ConnectAll(effect);
  effect.PrepareBlockSize(7);
  effect.offset = 1.0;
  std::vector<float> l = Ramp(7, 0.0f), r = Ramp(7, -1.0f);
  std::vector<float> outL(7, 9.0f), outR(7, 9.0f);
  float* ins[2] = {l.data(), r.data()};
  float* outs[2] = {outL.data(), outR.data()};
  effect.ProcessHostFloat(ins, outs, 7, false);
  effect.ProcessHostFloat(ins, outs, 7, false);
  for (int j = 0; j < 7; ++j) {
    EXPECT_EQ(outL[static_cast<size_t>(j)], l[static_cast<size_t>(j)] + 1.0f);
    EXPECT_EQ(outR[static_cast<size_t>(j)], r[static_cast<size_t>(j)] + 1.0f);
  }
  std::fill(outL.begin(), outL.end(), 0.5f);
  effect.ProcessHostFloat(ins, outs, 7, true);
  effect.ProcessHostFloat(ins, outs, 7, true);
  for (int j = 0; j < 7; ++j)
    EXPECT_EQ(outL[static_cast<size_t>(j)], 0.5f + 2.0f * (l[static_cast<size_t>(j)] + 1.0f));
}

TEST(IEffectBaseChannels, FloatInPlaceBuffersWork) {
  ChannelEffect effect;
  ConnectAll(effect);
  effect.PrepareBlockSize(5);
  effect.offset = 0.5;
  std::vector<float> l = Ramp(5, 1.0f), r = Ramp(5, 2.0f);
  float* bufs[2] = {l.data(), r.data()};
  effect.ProcessHostFloat(bufs, bufs, 5, false);
  EXPECT_EQ(l[4], 2.0f + 0.5f);
  EXPECT_EQ(r[0], 2.5f);
}

TEST(IEffectBaseChannels, ZeroFramesReachTheEffectAndWriteNothing) {
  ChannelEffect effect;
  ConnectAll(effect);
  effect.PrepareBlockSize(8);
  std::vector<float> in(8, 1.0f), out(8, 7.0f);
  float* ins[2] = {in.data(), in.data()};
  float* outs[2] = {out.data(), out.data()};
  effect.ProcessHostFloat(ins, outs, 0, false);
  effect.ProcessHostFloat(ins, outs, -3, false);
  double* dins[2] = {nullptr, nullptr};
  effect.ProcessHostDouble(dins, dins, 0);
  EXPECT_EQ(effect.blocks, (std::vector<int32_t>{0, 0, 0}));
  EXPECT_EQ(out[0], 7.0f);
}

TEST(IEffectBaseChannels, BlocksLongerThanTheBlockSizeAreProcessedInPieces) {
  ChannelEffect effect;
  ConnectAll(effect);
  effect.PrepareBlockSize(16);
  effect.ConnectInputs(1, 1, false);
  constexpr int kFrames = 16 * 3 + 5;
  std::vector<float> in = Ramp(kFrames, 0.0f), outL(kFrames), outR(kFrames, 3.0f);
  float* ins[2] = {in.data(), nullptr};
  float* outs[2] = {outL.data(), outR.data()};
  effect.ProcessHostFloat(ins, outs, kFrames, false);
  EXPECT_EQ(effect.blocks, (std::vector<int32_t>{16, 16, 16, 5}));
  EXPECT_EQ(outL, in);
  EXPECT_EQ(outR, std::vector<float>(kFrames, 0.0f));

  std::vector<double> din(kFrames, 0.25), dout(kFrames, 0.0), dright(kFrames, 1.0);
  double* dins[2] = {din.data(), nullptr};
  double* douts[2] = {dout.data(), dright.data()};
  effect.blocks.clear();
  effect.ProcessHostDouble(dins, douts, kFrames);
  EXPECT_EQ(effect.blocks, (std::vector<int32_t>{16, 16, 16, 5}));
  EXPECT_EQ(dout, din);
  EXPECT_EQ(dright, std::vector<double>(kFrames, 0.0));
}

TEST(IEffectBaseChannels, MissingHostBuffersReadSilenceAndDiscardOutput) {
  ChannelEffect effect;
  ConnectAll(effect);
  effect.PrepareBlockSize(4);
  effect.offset = 1.0;
  effect.ProcessHostFloat(nullptr, nullptr, 4, false);
  effect.ProcessHostDouble(nullptr, nullptr, 4);
  EXPECT_EQ(effect.firstInputSample, (std::vector<double>{0.0, 0.0}));
  std::vector<float> in(4, 5.0f), out(4, -1.0f);
  float* ins[2] = {nullptr, in.data()};
  float* outs[2] = {nullptr, out.data()};
  effect.ProcessHostFloat(ins, outs, 4, false);
  EXPECT_EQ(effect.firstInputSample, (std::vector<double>{0.0, 5.0}));
  EXPECT_EQ(out, std::vector<float>(4, 6.0f));
  std::vector<double> dout(4, -1.0);
  double* dins[2] = {nullptr, nullptr};
  double* douts[2] = {nullptr, dout.data()};
  effect.ProcessHostDouble(dins, douts, 4);
  EXPECT_EQ(dout, std::vector<double>(4, 1.0));
  EXPECT_EQ(effect.blocks.size(), 4u);
}

TEST(IEffectBaseChannels, WithoutABlockSizeReplacingOutputIsSilenced) {
  ChannelEffect effect;
  ConnectAll(effect);
  std::vector<float> in(4, 1.0f), out(4, 2.0f), added(4, 2.0f);
  float* ins[2] = {in.data(), in.data()};
  float* outs[2] = {out.data(), out.data()};
  effect.ProcessHostFloat(ins, outs, 4, false);
  EXPECT_EQ(out, std::vector<float>(4, 0.0f));
  float* adds[2] = {added.data(), added.data()};
  effect.ProcessHostFloat(ins, adds, 4, true);
  EXPECT_EQ(added, std::vector<float>(4, 2.0f));
  std::vector<double> dout(4, 3.0);
  double* douts[2] = {dout.data(), nullptr};
  effect.ProcessHostDouble(nullptr, douts, 4);
  EXPECT_EQ(dout, std::vector<double>(4, 0.0));
  EXPECT_TRUE(effect.blocks.empty());
}

TEST(IEffectBaseChannels, AnInputUnpluggedAfterFloatBlocksReadsSilence) {
  ChannelEffect effect;
  ConnectAll(effect);
  effect.PrepareBlockSize(4);
  std::vector<float> in(4, 0.5f), out(4);
  float* ins[2] = {in.data(), in.data()};
  float* outs[2] = {out.data(), out.data()};
  effect.ProcessHostFloat(ins, outs, 4, false);
  effect.ConnectInputs(1, 1, false);
  effect.ProcessHostFloat(ins, outs, 4, false);
  EXPECT_EQ(effect.firstInputSample, (std::vector<double>{0.5, 0.0}));
}

TEST(IEffectBaseChannels, PassThroughSilencesOutputsWithoutAnInput) {
  ChannelEffect effect("1-2");
  ConnectAll(effect);
  effect.PrepareBlockSize(3);
  std::vector<double> in{1.0, 2.0, 3.0}, l(3, 9.0), r(3, 9.0);
  double* ins[1] = {in.data()};
  double* outs[2] = {l.data(), r.data()};
  effect.ProcessHostDouble(ins, outs, 3);
  EXPECT_EQ(l, in);
  EXPECT_EQ(r, std::vector<double>(3, 0.0));
}

} // namespace quorvane
