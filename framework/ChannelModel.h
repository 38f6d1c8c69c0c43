#pragma once

// The plug-in's audio channels: the channel counts it accepts, which channels the host
// connected, each channel's scratch, and the slot arrays ProcessBlock receives. It turns a host's
// double or float buffers into calls of a block callback, in pieces of at most the prepared block
// size. IEffectBase owns one and calls it under the plug-in lock: connecting and preparing on the
// user-interface thread, the host buffers on the audio thread (no allocation there).

#include "framework/AudioChannel.h"
#include "framework/ChannelIOSpec.h"

#include <cstdint>
#include <vector>

namespace quorvane {

class ChannelModel {
public:
  // Processes one piece: every slot points at frames valid doubles.
  using BlockCallback = void (*)(void* context, double** inputs, double** outputs, int32_t frames);

  // spec: accepted channel counts, e.g. "1-1 2-2"; there are as many channels as the largest
  // count, none connected, no scratch yet.
  explicit ChannelModel(const char* spec);

  const std::vector<ChannelIOSpec>& Specs() const { return specs; }
  int32_t InputCount() const { return static_cast<int32_t>(inputs.size()); }
  int32_t OutputCount() const { return static_cast<int32_t>(outputs.size()); }
  // True if some spec matches; a negative count matches any.
  bool Accepts(int32_t inputCount, int32_t outputCount) const;
  // Channels first .. first+count-1, limited to those that exist. An input that becomes
  // unconnected reads silence; an output that does writes to its scratch.
  void ConnectInputs(int32_t first, int32_t count, bool connected);
  void ConnectOutputs(int32_t first, int32_t count, bool connected);
  bool InputConnected(int32_t index) const;
  bool OutputConnected(int32_t index) const;
  double* const* InputSlots() const { return inputSlots.data(); }
  double* const* OutputSlots() const { return outputSlots.data(); }

  int32_t BlockSize() const { return blockSize; }
  // Sizes every channel's scratch to frames doubles (zeroed). A negative or absurd size is
  // ignored; when a scratch cannot grow the old size stays in force.
  void PrepareBlockSize(int32_t frames);

  // The host's pointer arrays are consumed by connected channels only, in order; null arrays or
  // pointers read silence and discard output. accumulate adds to the host's float output.
  void ProcessHostDouble(double** hostInputs, double** hostOutputs, int32_t frames,
                         BlockCallback process, void* context);
  void ProcessHostFloat(float** hostInputs, float** hostOutputs, int32_t frames, bool accumulate,
                        BlockCallback process, void* context);
  // True when the host's float arrays can be handed on as they are: a block size is prepared,
  // every channel is connected and both arrays are there. Whether each buffer is there is for
  // whoever reads them (see FloatBlockProcessor). Inline: it runs before every block.
  bool FloatArraysUsable(float** hostInputs, float** hostOutputs) const {
    return everyChannelConnected && blockSize > 0 && hostInputs != nullptr &&
           hostOutputs != nullptr;
  }

private:
  void PointUnconnectedSlotsAtScratch();
  // Keeps everyChannelConnected true to the channels, after any change of connection.
  void NoteConnections();
  void SilenceHostOutputs(double** hostOutputs, int32_t frames);
  void ProcessDoublePiece(double** hostInputs, double** hostOutputs, int32_t offset, int32_t frames,
                          BlockCallback process, void* context);
  void ProcessFloatPiece(float** hostInputs, float** hostOutputs, int32_t offset, int32_t frames,
                         bool accumulate, BlockCallback process, void* context);

  std::vector<ChannelIOSpec> specs;
  std::vector<InputChannel> inputs;
  std::vector<OutputChannel> outputs;
  std::vector<double*> inputSlots;
  std::vector<double*> outputSlots;
  int32_t blockSize = 0;
  bool everyChannelConnected = false;
};

} // namespace quorvane
