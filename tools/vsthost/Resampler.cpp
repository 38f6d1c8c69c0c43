#include "Resampler.h"

#include <samplerate.h>

#include <algorithm>
#include <cmath>

namespace vsthost {
namespace {

constexpr size_t kPullFrames = 4096;

} // namespace

ResamplingSource::ResamplingSource(AudioSource& input, int sampleRate)
    : input_(input), sampleRate_(sampleRate),
      ratio_(static_cast<double>(sampleRate) / input.SampleRate()),
      block_(static_cast<size_t>(input.Channels()), std::vector<float>(kPullFrames)),
      pulled_(kPullFrames * static_cast<size_t>(input.Channels())) {
  for (auto& channel : block_)
    blockPointers_.push_back(channel.data());
  if (input.Length() >= 0)
    total_ = static_cast<int64_t>(std::llround(static_cast<double>(input.Length()) * ratio_));
}

std::unique_ptr<ResamplingSource> ResamplingSource::Create(AudioSource& input, int sampleRate,
                                                           std::string& error) {
  std::unique_ptr<ResamplingSource> source(new ResamplingSource(input, sampleRate));
  int status = 0;
  source->state_ = src_callback_new(&ResamplingSource::Pull, SRC_SINC_MEDIUM_QUALITY,
                                    input.Channels(), &status, source.get());
  if (source->state_ == nullptr || !src_is_valid_ratio(source->ratio_)) {
    error = std::string("cannot resample: ") + src_strerror(status);
    return nullptr;
  }
  return source;
}

ResamplingSource::~ResamplingSource() {
  if (state_ != nullptr) src_delete(state_);
}

long ResamplingSource::Pull(void* self, float** data) {
  auto* me = static_cast<ResamplingSource*>(self);
  if (me->inputEnded_) return 0;
  const size_t got = me->input_.Read(me->blockPointers_.data(), kPullFrames);
  me->inputEnded_ = got < kPullFrames;
  me->consumed_ += static_cast<int64_t>(got);
  const size_t channels = me->block_.size();
  for (size_t i = 0; i < got; ++i)
    for (size_t c = 0; c < channels; ++c)
      me->pulled_[i * channels + c] = me->block_[c][i];
  *data = me->pulled_.data();
  return static_cast<long>(got);
}

size_t ResamplingSource::Read(float* const* channels, size_t frames) {
  if (total_ < 0 && inputEnded_ && consumed_ >= 0)
    total_ = static_cast<int64_t>(std::llround(static_cast<double>(consumed_) * ratio_));
  const size_t count = block_.size();
  converted_.resize(frames * count);
  size_t got = 0;
  while (got < frames) {
    const long n = src_callback_read(state_, ratio_, static_cast<long>(frames - got),
                                     converted_.data() + got * count);
    if (n <= 0) break;
    got += static_cast<size_t>(n);
  }
  // The converter's last frames can miss the exact length by one or two:
  // pad with silence or cut, so the length is the input's times the ratio.
  if (total_ < 0 && inputEnded_)
    total_ = static_cast<int64_t>(std::llround(static_cast<double>(consumed_) * ratio_));
  if (total_ >= 0) {
    const auto wanted = static_cast<size_t>(
        std::max<int64_t>(0, std::min<int64_t>(static_cast<int64_t>(frames), total_ - produced_)));
    std::fill(converted_.begin() + static_cast<std::ptrdiff_t>(got * count),
              converted_.begin() + static_cast<std::ptrdiff_t>(std::max(got, wanted) * count),
              0.0f);
    got = wanted;
  }
  for (size_t i = 0; i < got; ++i)
    for (size_t c = 0; c < count; ++c)
      channels[c][i] = converted_[i * count + c];
  produced_ += static_cast<int64_t>(got);
  return got;
}

} // namespace vsthost
