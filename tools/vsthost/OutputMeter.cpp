#include "OutputMeter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace vsthost {

bool OutputMeter::Write(const float* const* channels, int channelCount, size_t frames,
                        std::string& error) {
  channels_.resize(static_cast<size_t>(channelCount));
  for (size_t c = 0; c < channels_.size(); ++c) {
    Channel& meter = channels_[c];
    for (size_t i = 0; i < frames; ++i) {
      const float s = channels[c][i];
      meter.peak = std::max(meter.peak, std::fabs(s));
      meter.sumOfSquares += static_cast<double>(s) * s;
    }
  }
  frames_ += static_cast<int64_t>(frames);
  return next_ == nullptr || next_->Write(channels, channelCount, frames, error);
}

float OutputMeter::Peak() const {
  float peak = 0.0f;
  for (const Channel& meter : channels_)
    peak = std::max(peak, meter.peak);
  return peak;
}

std::string DecibelText(double amplitude) {
  if (!(amplitude > 0.0)) return "-inf dBFS";
  char text[32];
  std::snprintf(text, sizeof text, "%+.1f dBFS", 20.0 * std::log10(amplitude));
  return text;
}

std::string OutputMeter::Text() const {
  std::string text;
  for (size_t c = 0; c < channels_.size(); ++c) {
    const Channel& meter = channels_[c];
    const double rms =
        frames_ > 0 ? std::sqrt(meter.sumOfSquares / static_cast<double>(frames_)) : 0.0;
    const char* name = channels_.size() == 2 ? (c == 0 ? "L" : "R") : "mono";
    text += (text.empty() ? "" : "; ") + std::string(name) + " peak " + DecibelText(meter.peak) +
            ", RMS " + DecibelText(rms);
  }
  return text;
}

} // namespace vsthost
