#include "TestSignal.h"

#include "TextNumbers.h"

#include <algorithm>
#include <cmath>

namespace vsthost {
namespace {

constexpr double kPi = 3.14159265358979323846;

bool ParseFrequency(const std::string& text, int sampleRate, double& hz, std::string& error) {
  if (!ParseStrictDouble(text, hz) || !(hz > 0.0) || hz >= sampleRate / 2.0) {
    error = "bad frequency '" + text + "' (must be above 0 and below half the sample rate, " +
            NumberText(sampleRate / 2.0) + " Hz)";
    return false;
  }
  return true;
}

// A small xorshift generator: the same noise on every platform and build.
float NextNoise(uint32_t& state) {
  state ^= state << 13;
  state ^= state >> 17;
  state ^= state << 5;
  return static_cast<float>(state / 4294967296.0 * 2.0 - 1.0);
}

} // namespace

std::unique_ptr<SignalSource> SignalSource::Create(const std::string& spec, int sampleRate,
                                                   int64_t frames, int channels,
                                                   std::string& error) {
  if (channels != 1 && channels != 2) {
    error = "a test signal has 1 or 2 channels";
    return nullptr;
  }
  if (sampleRate <= 0 || frames < 0) {
    error = "bad sample rate or length";
    return nullptr;
  }
  std::unique_ptr<SignalSource> source(new SignalSource());
  source->sampleRate_ = sampleRate;
  source->channels_ = channels;
  source->frames_ = frames;
  const std::vector<std::string> fields = SplitFields(spec, ':');
  const std::string& kind = fields.front();
  const size_t argCount = fields.size() - 1;
  if ((kind == "sine" || kind == "saw") && argCount == 1) {
    source->kind_ = kind == "sine" ? Kind::Sine : Kind::Saw;
    if (!ParseFrequency(fields[1], sampleRate, source->hz_, error)) return nullptr;
  } else if (kind == "sweep" && argCount == 2) {
    double to;
    source->kind_ = Kind::Sweep;
    if (!ParseFrequency(fields[1], sampleRate, source->hz_, error) ||
        !ParseFrequency(fields[2], sampleRate, to, error)) {
      return nullptr;
    }
    // Exponential sweep: equal time per octave.
    const double seconds = std::max(1.0, static_cast<double>(frames)) / sampleRate;
    source->sweepRate_ = std::log(to / source->hz_) / seconds;
  } else if (kind == "noise" && argCount == 0) {
    source->kind_ = Kind::Noise;
    for (int c = 0; c < channels; ++c)
      source->noise_.push_back(0x9E3779B9u + static_cast<uint32_t>(c));
  } else if (kind == "impulse" && argCount == 0) {
    source->kind_ = Kind::Impulse;
  } else if (kind != "silence" || argCount != 0) {
    error = "unknown test signal '" + spec +
            "' (sine:HZ, saw:HZ, sweep:FROM:TO, noise, impulse or silence)";
    return nullptr;
  }
  return source;
}

float SignalSource::Sample(int64_t index) {
  const double rate = sampleRate_;
  const double i = static_cast<double>(index);
  switch (kind_) {
  case Kind::Sine:
  case Kind::Saw: {
    const double phase = std::fmod(hz_ * i / rate, 1.0);
    const double v = kind_ == Kind::Sine ? std::sin(2.0 * kPi * phase) : 2.0 * phase - 1.0;
    return static_cast<float>(kTestSignalLevel * v);
  }
  case Kind::Sweep: {
    const double t = i / rate;
    const double k = sweepRate_;
    const double phase = std::abs(k) < 1e-12 ? hz_ * t : hz_ * (std::exp(k * t) - 1.0) / k;
    return static_cast<float>(kTestSignalLevel * std::sin(2.0 * kPi * phase));
  }
  case Kind::Impulse:
    return index == 0 ? 1.0f : 0.0f;
  default:
    return 0.0f;
  }
}

size_t SignalSource::Read(float* const* channels, size_t frames) {
  const auto n = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(frames), Length()));
  for (size_t j = 0; j < n; ++j) {
    const int64_t index = pos_ + static_cast<int64_t>(j);
    if (kind_ == Kind::Noise) {
      for (size_t c = 0; c < noise_.size(); ++c)
        channels[c][j] = kTestSignalLevel * NextNoise(noise_[c]);
    } else {
      const float v = Sample(index);
      for (int c = 0; c < channels_; ++c)
        channels[c][j] = v;
    }
  }
  pos_ += static_cast<int64_t>(n);
  return n;
}

bool MakeTestSignal(const std::string& spec, int sampleRate, size_t frames, int channels,
                    AudioBuffer& out, std::string& error) {
  std::unique_ptr<SignalSource> source =
      SignalSource::Create(spec, sampleRate, static_cast<int64_t>(frames), channels, error);
  if (!source) return false;
  AudioBuffer audio;
  audio.sampleRate = sampleRate;
  audio.Resize(channels, frames);
  std::vector<float*> pointers;
  for (auto& channel : audio.channels)
    pointers.push_back(channel.data());
  source->Read(pointers.data(), frames);
  out = std::move(audio);
  return true;
}

} // namespace vsthost
