#include "AudioStream.h"

#include <algorithm>

namespace vsthost {

size_t BufferSource::Read(float* const* channels, size_t frames) {
  const size_t n = std::min(frames, audio_.Frames() - pos_);
  for (size_t c = 0; c < audio_.channels.size(); ++c) {
    const float* from = audio_.channels[c].data() + pos_;
    std::copy(from, from + n, channels[c]);
  }
  pos_ += n;
  return n;
}

bool BufferSink::Write(const float* const* channels, int channelCount, size_t frames,
                       std::string&) {
  audio_.channels.resize(static_cast<size_t>(channelCount));
  for (size_t c = 0; c < audio_.channels.size(); ++c)
    audio_.channels[c].insert(audio_.channels[c].end(), channels[c], channels[c] + frames);
  return true;
}

} // namespace vsthost
