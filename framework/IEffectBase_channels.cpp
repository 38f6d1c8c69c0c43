#include "IEffectBase.h"

#include <algorithm>
#include <cstring>
#include <limits>

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

//================================================================================================
// Channel model

void IEffectBase::ParseChannelSpec(const char* text) {
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
    fields.channelSpecs.push_back(spec);
    maxInputs = std::max(maxInputs, spec.inputs);
    maxOutputs = std::max(maxOutputs, spec.outputs);
    p = std::strchr(p, ' ');
    if (!p) break;
    ++p;
  }
  fields.inputChannels.resize(static_cast<std::size_t>(maxInputs));
  fields.outputChannels.resize(static_cast<std::size_t>(maxOutputs));
  fields.inputSlots.assign(fields.inputChannels.size(), nullptr);
  fields.outputSlots.assign(fields.outputChannels.size(), nullptr);
  PointUnconnectedSlotsAtScratch();
}

bool IEffectBase::AcceptsChannelCounts(int32_t inputCount, int32_t outputCount) const {
  for (const ChannelIOSpec& spec : fields.channelSpecs) {
    if ((inputCount < 0 || inputCount == spec.inputs) &&
        (outputCount < 0 || outputCount == spec.outputs))
      return true;
  }
  return false;
}

void IEffectBase::ConnectInputs(int32_t first, int32_t count, bool connected) {
  PluginLockGuard guard(fields.pluginLock);
  if (count <= 0) return;
  const int64_t begin = std::max<int64_t>(first, 0);
  const int64_t end = std::min<int64_t>(static_cast<int64_t>(first) + count, InputCount());
  for (int64_t i = begin; i < end; ++i) {
    InputChannel& channel = fields.inputChannels[static_cast<std::size_t>(i)];
    channel.connected = connected;
    if (!connected) {
      // An unplugged input must read silence, not repeat the last converted block.
      channel.scratch.FillZero();
      fields.inputSlots[static_cast<std::size_t>(i)] = channel.scratch.Doubles();
    }
  }
}

void IEffectBase::ConnectOutputs(int32_t first, int32_t count, bool connected) {
  PluginLockGuard guard(fields.pluginLock);
  if (count <= 0) return;
  const int64_t begin = std::max<int64_t>(first, 0);
  const int64_t end = std::min<int64_t>(static_cast<int64_t>(first) + count, OutputCount());
  for (int64_t i = begin; i < end; ++i) {
    OutputChannel& channel = fields.outputChannels[static_cast<std::size_t>(i)];
    channel.connected = connected;
    if (!connected) fields.outputSlots[static_cast<std::size_t>(i)] = channel.scratch.Doubles();
  }
}

bool IEffectBase::InputConnected(int32_t index) const {
  return index >= 0 && index < InputCount() &&
         fields.inputChannels[static_cast<std::size_t>(index)].connected;
}

bool IEffectBase::OutputConnected(int32_t index) const {
  return index >= 0 && index < OutputCount() &&
         fields.outputChannels[static_cast<std::size_t>(index)].connected;
}

void IEffectBase::PointUnconnectedSlotsAtScratch() {
  for (std::size_t i = 0; i < fields.inputChannels.size(); ++i)
    if (!fields.inputChannels[i].connected)
      fields.inputSlots[i] = fields.inputChannels[i].scratch.Doubles();
  for (std::size_t i = 0; i < fields.outputChannels.size(); ++i)
    if (!fields.outputChannels[i].connected)
      fields.outputSlots[i] = fields.outputChannels[i].scratch.Doubles();
}

void IEffectBase::PrepareBlockSize(int32_t frames) {
  PluginLockGuard guard(fields.pluginLock);
  if (frames == fields.blockSize || frames < 0 || frames > kMaxBlockSize) return;
  const int32_t bytes = frames * int32_t{sizeof(double)};
  bool resized = true;
  for (InputChannel& channel : fields.inputChannels) {
    resized = channel.scratch.Resize(bytes) && resized;
    channel.scratch.FillZero();
  }
  for (OutputChannel& channel : fields.outputChannels) {
    resized = channel.scratch.Resize(bytes) && resized;
    channel.scratch.FillZero();
  }
  // Buffers may have moved even if one of them could not grow.
  PointUnconnectedSlotsAtScratch();
  // When growing failed every scratch still holds the old block size, which stays in force.
  if (resized) fields.blockSize = frames;
}

//================================================================================================
// Host buffers

void IEffectBase::ProcessBlock(double** inputSamples, double** outputSamples, int32_t frames) {
  if (frames <= 0 || !outputSamples) return;
  const int32_t through = inputSamples ? std::min(InputCount(), OutputCount()) : 0;
  const auto bytes = sizeof(double) * static_cast<std::size_t>(frames);
  for (int32_t i = 0; i < OutputCount(); ++i) {
    double* out = outputSamples[i];
    if (!out) continue;
    const double* in = i < through ? inputSamples[i] : nullptr;
    if (in && in != out)
      std::memmove(out, in, bytes);
    else if (!in)
      std::memset(out, 0, bytes);
  }
}

void IEffectBase::SilenceHostOutputs(double** hostOutputs, int32_t frames) {
  if (!hostOutputs) return;
  std::size_t cursor = 0;
  for (const OutputChannel& channel : fields.outputChannels) {
    if (!channel.connected) continue;
    double* out = hostOutputs[cursor++];
    if (out) ZeroSamples(out, frames);
  }
}

void IEffectBase::ProcessHostDouble(double** hostInputs, double** hostOutputs, int32_t frames) {
  PluginLockGuard guard(fields.pluginLock);
  frames = std::max(frames, 0);
  if (frames > 0 && fields.blockSize <= 0) {
    SilenceHostOutputs(hostOutputs, frames);
    return;
  }
  int32_t offset = 0;
  do {
    const int32_t piece = std::min(frames - offset, fields.blockSize);
    ProcessDoublePiece(hostInputs, hostOutputs, offset, piece);
    offset += piece;
  } while (offset < frames);
}

void IEffectBase::ProcessDoublePiece(double** hostInputs, double** hostOutputs, int32_t offset,
                                     int32_t frames) {
  std::size_t cursor = 0;
  for (std::size_t i = 0; i < fields.inputChannels.size(); ++i) {
    InputChannel& channel = fields.inputChannels[i];
    double* host = nullptr;
    if (channel.connected && hostInputs) host = hostInputs[cursor];
    if (channel.connected) ++cursor;
    if (host) {
      fields.inputSlots[i] = host + offset;
    } else {
      if (channel.connected) ZeroSamples(channel.scratch.Doubles(), frames);
      fields.inputSlots[i] = channel.scratch.Doubles();
    }
  }
  cursor = 0;
  for (std::size_t i = 0; i < fields.outputChannels.size(); ++i) {
    OutputChannel& channel = fields.outputChannels[i];
    double* host = nullptr;
    if (channel.connected && hostOutputs) host = hostOutputs[cursor];
    if (channel.connected) ++cursor;
    fields.outputSlots[i] = host ? host + offset : channel.scratch.Doubles();
  }
  ProcessBlock(fields.inputSlots.data(), fields.outputSlots.data(), frames);
}

void IEffectBase::ProcessHostFloat(float** hostInputs, float** hostOutputs, int32_t frames,
                                   bool accumulate) {
  PluginLockGuard guard(fields.pluginLock);
  frames = std::max(frames, 0);
  if (frames > 0 && fields.blockSize <= 0) {
    if (!accumulate && hostOutputs) {
      std::size_t cursor = 0;
      for (const OutputChannel& channel : fields.outputChannels) {
        if (!channel.connected) continue;
        float* out = hostOutputs[cursor++];
        if (out) std::fill(out, out + frames, 0.0f);
      }
    }
    return;
  }
  // Whole: an effect that takes float buffers needs no scratch, so no pieces.
  if (fields.floatBlocks != nullptr && HostFloatBuffersComplete(hostInputs, hostOutputs)) {
    fields.floatBlocks->ProcessFloatBlock(hostInputs, hostOutputs, frames, accumulate);
    return;
  }
  int32_t offset = 0;
  do {
    const int32_t piece = std::min(frames - offset, fields.blockSize);
    ProcessFloatPiece(hostInputs, hostOutputs, offset, piece, accumulate);
    offset += piece;
  } while (offset < frames);
}

bool IEffectBase::HostFloatBuffersComplete(float** hostInputs, float** hostOutputs) const {
  if (hostInputs == nullptr || hostOutputs == nullptr) return false;
  for (std::size_t i = 0; i < fields.inputChannels.size(); ++i)
    if (!fields.inputChannels[i].connected || hostInputs[i] == nullptr) return false;
  for (std::size_t i = 0; i < fields.outputChannels.size(); ++i)
    if (!fields.outputChannels[i].connected || hostOutputs[i] == nullptr) return false;
  return true;
}

void IEffectBase::ProcessFloatPiece(float** hostInputs, float** hostOutputs, int32_t offset,
                                    int32_t frames, bool accumulate) {
  std::size_t cursor = 0;
  for (std::size_t i = 0; i < fields.inputChannels.size(); ++i) {
    InputChannel& channel = fields.inputChannels[i];
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
    fields.inputSlots[i] = scratch;
  }
  cursor = 0;
  for (std::size_t i = 0; i < fields.outputChannels.size(); ++i) {
    OutputChannel& channel = fields.outputChannels[i];
    channel.hostFloatOut = nullptr;
    if (channel.connected) {
      float* host = hostOutputs ? hostOutputs[cursor] : nullptr;
      ++cursor;
      if (host) channel.hostFloatOut = host + offset;
    }
    fields.outputSlots[i] = channel.scratch.Doubles();
  }
  ProcessBlock(fields.inputSlots.data(), fields.outputSlots.data(), frames);
  for (OutputChannel& channel : fields.outputChannels) {
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
