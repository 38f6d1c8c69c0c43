#include "TestSignal.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace vsthost {
namespace {

constexpr double kPi = 3.14159265358979323846;

std::vector<std::string> SplitFields(const std::string& text) {
  std::vector<std::string> fields;
  size_t start = 0;
  for (;;) {
    const size_t colon = text.find(':', start);
    fields.push_back(text.substr(start, colon - start));
    if (colon == std::string::npos) return fields;
    start = colon + 1;
  }
}

bool ParseFrequency(const std::string& text, int sampleRate, double& hz, std::string& error) {
  char* end = nullptr;
  hz = std::strtod(text.c_str(), &end);
  if (text.empty() || *end != '\0' || !(hz > 0.0) || hz >= sampleRate / 2.0) {
    error = "bad frequency '" + text + "' (must be above 0 and below half the sample rate)";
    return false;
  }
  return true;
}

// A small xorshift generator: the same noise on every platform and build.
class Noise {
public:
  explicit Noise(uint32_t seed) : state_(seed) {}
  float Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return static_cast<float>(state_ / 4294967296.0 * 2.0 - 1.0);
  }

private:
  uint32_t state_;
};

} // namespace

bool MakeTestSignal(const std::string& spec, int sampleRate, size_t frames, int channels,
                    AudioBuffer& out, std::string& error) {
  if (channels != 1 && channels != 2) {
    error = "a test signal has 1 or 2 channels";
    return false;
  }
  if (sampleRate <= 0) {
    error = "bad sample rate";
    return false;
  }
  const std::vector<std::string> fields = SplitFields(spec);
  const std::string& kind = fields.front();
  const size_t argCount = fields.size() - 1;
  AudioBuffer audio;
  audio.sampleRate = sampleRate;
  audio.Resize(channels, frames);
  std::vector<float>& first = audio.channels.front();
  const double rate = sampleRate;

  if ((kind == "sine" || kind == "saw") && argCount == 1) {
    double hz;
    if (!ParseFrequency(fields[1], sampleRate, hz, error)) return false;
    for (size_t i = 0; i < frames; ++i) {
      const double phase = std::fmod(hz * static_cast<double>(i) / rate, 1.0);
      const double v = kind == "sine" ? std::sin(2.0 * kPi * phase) : 2.0 * phase - 1.0;
      first[i] = static_cast<float>(kTestSignalLevel * v);
    }
  } else if (kind == "sweep" && argCount == 2) {
    double from, to;
    if (!ParseFrequency(fields[1], sampleRate, from, error) ||
        !ParseFrequency(fields[2], sampleRate, to, error)) {
      return false;
    }
    // Exponential sweep: equal time per octave.
    const double seconds = std::max(1.0, static_cast<double>(frames)) / rate;
    const double k = std::log(to / from) / seconds;
    for (size_t i = 0; i < frames; ++i) {
      const double t = static_cast<double>(i) / rate;
      const double phase = std::abs(k) < 1e-12 ? from * t : from * (std::exp(k * t) - 1.0) / k;
      first[i] = static_cast<float>(kTestSignalLevel * std::sin(2.0 * kPi * phase));
    }
  } else if (kind == "noise" && argCount == 0) {
    for (int c = 0; c < channels; ++c) {
      Noise noise(0x9E3779B9u + static_cast<uint32_t>(c));
      for (float& s : audio.channels[static_cast<size_t>(c)])
        s = kTestSignalLevel * noise.Next();
    }
    out = std::move(audio);
    return true;
  } else if (kind == "impulse" && argCount == 0) {
    if (frames > 0) first[0] = 1.0f;
  } else if (kind != "silence" || argCount != 0) {
    error = "unknown test signal '" + spec + "'";
    return false;
  }
  for (int c = 1; c < channels; ++c)
    audio.channels[static_cast<size_t>(c)] = first;
  out = std::move(audio);
  return true;
}

} // namespace vsthost
