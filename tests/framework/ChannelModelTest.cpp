#include "framework/ChannelModel.h"

#include <gtest/gtest.h>

#include <vector>

namespace quorvane {

namespace {

// Doubles every input into its output and records the pieces it was called with.
struct Doubler {
  std::vector<int32_t> pieces;
  static void Process(void* context, double** inputs, double** outputs, int32_t frames) {
    auto& self = *static_cast<Doubler*>(context);
    self.pieces.push_back(frames);
    for (int c = 0; c < 2; ++c)
      for (int32_t i = 0; i < frames; ++i)
        outputs[c][i] = 2.0 * inputs[c][i];
  }
};

} // namespace

TEST(ChannelModel, SpecsDecideCountsAndAcceptance) {
  ChannelModel model("1-1 2-2");
  EXPECT_EQ(model.InputCount(), 2);
  EXPECT_EQ(model.OutputCount(), 2);
  EXPECT_TRUE(model.Accepts(1, 1));
  EXPECT_TRUE(model.Accepts(2, -1));
  EXPECT_FALSE(model.Accepts(1, 2));
  EXPECT_FALSE(model.InputConnected(0));
  EXPECT_FALSE(model.OutputConnected(-1));
  EXPECT_EQ(ChannelModel(nullptr).InputCount(), 0);
}

TEST(ChannelModel, LongHostBlocksArriveInPreparedPieces) {
  ChannelModel model("2-2");
  model.ConnectInputs(0, 2, true);
  model.ConnectOutputs(0, 2, true);
  model.PrepareBlockSize(4);
  std::vector<double> left(10), right(10), outLeft(10), outRight(10);
  for (int i = 0; i < 10; ++i)
    left[static_cast<std::size_t>(i)] = right[static_cast<std::size_t>(i)] = i;
  double* ins[] = {left.data(), right.data()};
  double* outs[] = {outLeft.data(), outRight.data()};
  Doubler doubler;
  model.ProcessHostDouble(ins, outs, 10, &Doubler::Process, &doubler);
  EXPECT_EQ(doubler.pieces, (std::vector<int32_t>{4, 4, 2}));
  EXPECT_EQ(outRight[9], 18.0);

  std::vector<float> fin(10, 1.0f), fout(10, 0.5f);
  float* fins[] = {fin.data(), nullptr}; // a null pointer reads silence
  float* fouts[] = {fout.data(), nullptr};
  model.ProcessHostFloat(fins, fouts, 10, true, &Doubler::Process, &doubler);
  EXPECT_EQ(fout[9], 2.5f);
  model.ProcessHostFloat(fins, fouts, 10, false, &Doubler::Process, &doubler);
  EXPECT_EQ(fout[9], 2.0f);
}

TEST(ChannelModel, UnpreparedOrUnconnectedChannelsGiveSilence) {
  ChannelModel model("2-2");
  model.ConnectInputs(0, 2, true);
  model.ConnectOutputs(0, 2, true);
  std::vector<float> in(8, 1.0f), outLeft(8, 3.0f), outRight(8, 3.0f);
  float* ins[] = {in.data(), in.data()};
  float* outs[] = {outLeft.data(), outRight.data()};
  Doubler doubler;
  model.ProcessHostFloat(ins, outs, 8, false, &Doubler::Process, &doubler);
  EXPECT_TRUE(doubler.pieces.empty());
  EXPECT_EQ(outLeft[7], 0.0f);

  model.PrepareBlockSize(8);
  model.ConnectInputs(1, 5, false);
  std::vector<double> dleft(8, 1.0), dout0(8), dout1(8, 7.0);
  double* dins[] = {dleft.data()}; // only the connected input is passed
  double* douts[] = {dout0.data(), dout1.data()};
  model.ProcessHostDouble(dins, douts, 8, &Doubler::Process, &doubler);
  EXPECT_EQ(dout0[7], 2.0);
  EXPECT_EQ(dout1[7], 0.0);
  EXPECT_FALSE(model.InputConnected(1));

  model.PrepareBlockSize(-1);
  EXPECT_EQ(model.BlockSize(), 8);
}

} // namespace quorvane
