#include "framework/ChannelModel.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace quorvane {

namespace {

// Far beyond any real channel layout; keeps a mistyped specification from exhausting memory.
constexpr int32_t kMaxChannels = 256;
constexpr int32_t kMaxBlockSize =
    (std::numeric_limits<int32_t>::max() - StateBuffer::kGranularity) / int32_t{sizeof(double)};

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsSpace(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

// Reads an integer the way "%d" does (leading white space, sign, digits), saturating instead of
// overflowing. False, with p unchanged, when no digits follow.
bool ReadCount(const char*& p, int32_t* out) {
  const char* q = p;
  while (IsSpace(*q))
    ++q;
  bool negative = false;
  if (*q == '+' || *q == '-') negative = (*q++ == '-');
  if (!IsDigit(*q)) return false;
  int64_t v = 0;
  for (; IsDigit(*q); ++q)
    v = std::min<int64_t>(v * 10 + (*q - '0'), kMaxChannels);
  *out = static_cast<int32_t>(negative ? -v : v);
  p = q;
  return true;
}

void ZeroSamples(double* samples, int32_t frames) {
  if (frames > 0) std::memset(samples, 0, sizeof(double) * static_cast<std::size_t>(frames));
}

} // namespace

ChannelModel::ChannelModel(const char* text) {
  if (!text) return;
  int32_t maxInputs = 0;
  int32_t maxOutputs = 0;
  for (const char* p = text;;) {
    ChannelIOSpec spec;
    const char* q = p;
    if (ReadCount(q, &spec.inputs) && *q == '-') {
      ++q;
      ReadCount(q, &spec.outputs);
    }
    specs.push_back(spec);
    maxInputs = std::max(maxInputs, spec.inputs);
    maxOutputs = std::max(maxOutputs, spec.outputs);
    p = std::strchr(p, ' ');
    if (!p) break;
    ++p;
  }
  inputs.resize(static_cast<std::size_t>(maxInputs));
  outputs.resize(static_cast<std::size_t>(maxOutputs));
  inputSlots.assign(inputs.size(), nullptr);
  outputSlots.assign(outputs.size(), nullptr);
  PointUnconnectedSlotsAtScratch();
  NoteConnections();
}

bool ChannelModel::Accepts(int32_t inputCount, int32_t outputCount) const {
  for (const ChannelIOSpec& spec : specs) {
    if ((inputCount < 0 || inputCount == spec.inputs) &&
        (outputCount < 0 || outputCount == spec.outputs))
      return true;
  }
  return false;
}

void ChannelModel::ConnectInputs(int32_t first, int32_t count, bool connected) {
  if (count <= 0) return;
  const int64_t begin = std::max<int64_t>(first, 0);
  const int64_t end = std::min<int64_t>(static_cast<int64_t>(first) + count, InputCount());
  for (int64_t i = begin; i < end; ++i) {
    InputChannel& channel = inputs[static_cast<std::size_t>(i)];
    channel.connected = connected;
    if (!connected) {
      // An unplugged input must read silence, not repeat the last converted block.
      channel.scratch.FillZero();
      inputSlots[static_cast<std::size_t>(i)] = channel.scratch.Doubles();
    }
  }
  NoteConnections();
}

void ChannelModel::ConnectOutputs(int32_t first, int32_t count, bool connected) {
  if (count <= 0) return;
  const int64_t begin = std::max<int64_t>(first, 0);
  const int64_t end = std::min<int64_t>(static_cast<int64_t>(first) + count, OutputCount());
  for (int64_t i = begin; i < end; ++i) {
    OutputChannel& channel = outputs[static_cast<std::size_t>(i)];
    channel.connected = connected;
    if (!connected) outputSlots[static_cast<std::size_t>(i)] = channel.scratch.Doubles();
  }
  NoteConnections();
}

void ChannelModel::NoteConnections() {
  const auto isConnected = [](const auto& channel) { return channel.connected; };
  everyChannelConnected = std::all_of(inputs.begin(), inputs.end(), isConnected) &&
                          std::all_of(outputs.begin(), outputs.end(), isConnected);
}

bool ChannelModel::InputConnected(int32_t index) const {
  return index >= 0 && index < InputCount() && inputs[static_cast<std::size_t>(index)].connected;
}

bool ChannelModel::OutputConnected(int32_t index) const {
  return index >= 0 && index < OutputCount() && outputs[static_cast<std::size_t>(index)].connected;
}

void ChannelModel::PointUnconnectedSlotsAtScratch() {
  for (std::size_t i = 0; i < inputs.size(); ++i)
    if (!inputs[i].connected) inputSlots[i] = inputs[i].scratch.Doubles();
  for (std::size_t i = 0; i < outputs.size(); ++i)
    if (!outputs[i].connected) outputSlots[i] = outputs[i].scratch.Doubles();
}

void ChannelModel::PrepareBlockSize(int32_t frames) {
  if (frames == blockSize || frames < 0 || frames > kMaxBlockSize) return;
  const int32_t bytes = frames * int32_t{sizeof(double)};
  bool resized = true;
  for (InputChannel& channel : inputs) {
    resized = channel.scratch.Resize(bytes) && resized;
    channel.scratch.FillZero();
  }
  for (OutputChannel& channel : outputs) {
    resized = channel.scratch.Resize(bytes) && resized;
    channel.scratch.FillZero();
  }
  // Buffers may have moved even if one of them could not grow.
  PointUnconnectedSlotsAtScratch();
  // When growing failed every scratch still holds the old block size, which stays in force.
  if (resized) blockSize = frames;
}

void ChannelModel::SilenceHostOutputs(double** hostOutputs, int32_t frames) {
  if (!hostOutputs) return;
  std::size_t cursor = 0;
  for (const OutputChannel& channel : outputs) {
    if (!channel.connected) continue;
    double* out = hostOutputs[cursor++];
    if (out) ZeroSamples(out, frames);
  }
}

void ChannelModel::ProcessHostDouble(double** hostInputs, double** hostOutputs, int32_t frames,
                                     BlockCallback process, void* context) {
  frames = std::max(frames, 0);
  if (frames > 0 && blockSize <= 0) {
    SilenceHostOutputs(hostOutputs, frames);
    return;
  }
  int32_t offset = 0;
  do {
    const int32_t piece = std::min(frames - offset, blockSize);
    ProcessDoublePiece(hostInputs, hostOutputs, offset, piece, process, context);
    offset += piece;
  } while (offset < frames);
}

void ChannelModel::ProcessDoublePiece(double** hostInputs, double** hostOutputs, int32_t offset,
                                      int32_t frames, BlockCallback process, void* context) {
  std::size_t cursor = 0;
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    InputChannel& channel = inputs[i];
    double* host = nullptr;
    if (channel.connected && hostInputs) host = hostInputs[cursor];
    if (channel.connected) ++cursor;
    if (host) {
      inputSlots[i] = host + offset;
    } else {
      if (channel.connected) ZeroSamples(channel.scratch.Doubles(), frames);
      inputSlots[i] = channel.scratch.Doubles();
    }
  }
  cursor = 0;
  for (std::size_t i = 0; i < outputs.size(); ++i) {
    OutputChannel& channel = outputs[i];
    double* host = nullptr;
    if (channel.connected && hostOutputs) host = hostOutputs[cursor];
    if (channel.connected) ++cursor;
    outputSlots[i] = host ? host + offset : channel.scratch.Doubles();
  }
  process(context, inputSlots.data(), outputSlots.data(), frames);
}

void ChannelModel::ProcessHostFloat(float** hostInputs, float** hostOutputs, int32_t frames,
                                    bool accumulate, BlockCallback process, void* context) {
  frames = std::max(frames, 0);
  if (frames > 0 && blockSize <= 0) {
    if (!accumulate && hostOutputs) {
      std::size_t cursor = 0;
      for (const OutputChannel& channel : outputs) {
        if (!channel.connected) continue;
        float* out = hostOutputs[cursor++];
        if (out) std::fill(out, out + frames, 0.0f);
      }
    }
    return;
  }
  int32_t offset = 0;
  do {
    const int32_t piece = std::min(frames - offset, blockSize);
    ProcessFloatPiece(hostInputs, hostOutputs, offset, piece, accumulate, process, context);
    offset += piece;
  } while (offset < frames);
}

void ChannelModel::ProcessFloatPiece(float** hostInputs, float** hostOutputs, int32_t offset,
                                     int32_t frames, bool accumulate, BlockCallback process,
                                     void* context) {
  std::size_t cursor = 0;
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    InputChannel& channel = inputs[i];
    double* scratch = channel.scratch.Doubles();
    if (channel.connected) {
      const float* host = hostInputs ? hostInputs[cursor] : nullptr;
      ++cursor;
      if (host) {
        host += offset;
        for (int32_t j = 0; j < frames; ++j)
          scratch[j] = host[j];
      } else {
        ZeroSamples(scratch, frames);
      }
    }
    inputSlots[i] = scratch;
  }
  cursor = 0;
  for (std::size_t i = 0; i < outputs.size(); ++i) {
    OutputChannel& channel = outputs[i];
    channel.hostFloatOut = nullptr;
    if (channel.connected) {
      float* host = hostOutputs ? hostOutputs[cursor] : nullptr;
      ++cursor;
      if (host) channel.hostFloatOut = host + offset;
    }
    outputSlots[i] = channel.scratch.Doubles();
  }
  process(context, inputSlots.data(), outputSlots.data(), frames);
  for (OutputChannel& channel : outputs) {
    float* host = channel.hostFloatOut;
    channel.hostFloatOut = nullptr;
    if (!host) continue;
    const double* scratch = channel.scratch.Doubles();
    if (accumulate) {
      for (int32_t j = 0; j < frames; ++j)
        host[j] += static_cast<float>(scratch[j]);
    } else {
      for (int32_t j = 0; j < frames; ++j)
        host[j] = static_cast<float>(scratch[j]);
    }
  }
}

} // namespace quorvane
