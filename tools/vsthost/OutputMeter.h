// Measures what a render wrote, block by block: peak and RMS per channel,
// for the closing summary. Used on the host's main thread.
#pragma once

#include "AudioStream.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vsthost {

class OutputMeter final : public AudioSink {
public:
  // Measures, then hands the block on to `next` (may be null).
  explicit OutputMeter(AudioSink* next) : next_(next) {}

  bool Write(const float* const* channels, int channelCount, size_t frames,
             std::string& error) override;

  float Peak() const;
  // "L -3.1 dBFS peak, -18.0 dBFS RMS; R ..." per channel.
  std::string Text() const;

private:
  struct Channel {
    float peak = 0.0f;
    double sumOfSquares = 0.0;
  };
  AudioSink* next_;
  std::vector<Channel> channels_;
  int64_t frames_ = 0;
};

// Level in dBFS of a linear amplitude ("-inf" for silence).
std::string DecibelText(double amplitude);

} // namespace vsthost
