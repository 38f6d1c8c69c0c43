// Deinterleaved audio as the command-line host reads, renders and writes it.
#pragma once

#include <cstddef>
#include <vector>

namespace vsthost {

struct AudioBuffer {
  int sampleRate = 44100;
  std::vector<std::vector<float>> channels;

  size_t Frames() const { return channels.empty() ? 0 : channels.front().size(); }
  int ChannelCount() const { return static_cast<int>(channels.size()); }
  void Resize(int channelCount, size_t frames) {
    channels.assign(static_cast<size_t>(channelCount), std::vector<float>(frames, 0.0f));
  }
};

} // namespace vsthost
