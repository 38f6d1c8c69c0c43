// Test signals the command-line host can render instead of a file, made
// from a short text: "sine:440", "saw:110", "noise", "sweep:20:20000",
// "impulse", "silence". Deterministic: the same text gives the same samples.
// Generated block by block, so any length costs the same memory. Used on
// the host's main thread.
#pragma once

#include "AudioBuffer.h"
#include "AudioStream.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vsthost {

// Peak level of every generated signal except the impulse.
static constexpr float kTestSignalLevel = 0.5f;

class SignalSource final : public AudioSource {
public:
  // Checks the text; on failure answers null with the reason in `error`.
  static std::unique_ptr<SignalSource> Create(const std::string& spec, int sampleRate,
                                              int64_t frames, int channels, std::string& error);

  int Channels() const override { return channels_; }
  int SampleRate() const override { return sampleRate_; }
  int64_t Length() const override { return frames_ - pos_; }
  size_t Read(float* const* channels, size_t frames) override;

private:
  enum class Kind { Sine, Saw, Sweep, Noise, Impulse, Silence };
  SignalSource() = default;
  float Sample(int64_t index);

  Kind kind_ = Kind::Silence;
  int sampleRate_ = 0;
  int channels_ = 0;
  int64_t frames_ = 0;
  int64_t pos_ = 0;
  double hz_ = 0.0, sweepRate_ = 0.0;
  std::vector<uint32_t> noise_; // one generator per channel
};

// The whole signal in memory.
bool MakeTestSignal(const std::string& spec, int sampleRate, size_t frames, int channels,
                    AudioBuffer& out, std::string& error);

} // namespace vsthost
