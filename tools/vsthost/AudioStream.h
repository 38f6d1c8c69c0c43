// The two ends of a streaming render: a source of audio pulled block by
// block and a sink that takes the plug-in's output block by block, so that
// memory does not grow with the length of a render. Deinterleaved floats.
// Used on the host's main thread.
#pragma once

#include "AudioBuffer.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace vsthost {

class AudioSource {
public:
  virtual ~AudioSource() = default;
  virtual int Channels() const = 0;
  virtual int SampleRate() const = 0;
  // Frames still to come when known in advance, else -1 (a pipe).
  virtual int64_t Length() const = 0;
  // Fills `frames` frames of each channel; answers fewer only at the end.
  // A read error answers 0 and leaves its reason for Error().
  virtual size_t Read(float* const* channels, size_t frames) = 0;
  virtual std::string Error() const { return {}; }
};

class AudioSink {
public:
  virtual ~AudioSink() = default;
  // Answers false, with the reason in `error`, when the block cannot be kept.
  virtual bool Write(const float* const* channels, int channelCount, size_t frames,
                     std::string& error) = 0;
};

// Audio held in memory, for tests and short renders.
class BufferSource final : public AudioSource {
public:
  explicit BufferSource(const AudioBuffer& audio) : audio_(audio) {}
  int Channels() const override { return audio_.ChannelCount(); }
  int SampleRate() const override { return audio_.sampleRate; }
  int64_t Length() const override { return static_cast<int64_t>(audio_.Frames() - pos_); }
  size_t Read(float* const* channels, size_t frames) override;

private:
  const AudioBuffer& audio_;
  size_t pos_ = 0;
};

class BufferSink final : public AudioSink {
public:
  explicit BufferSink(AudioBuffer& audio) : audio_(audio) {}
  bool Write(const float* const* channels, int channelCount, size_t frames,
             std::string& error) override;

private:
  AudioBuffer& audio_;
};

} // namespace vsthost
