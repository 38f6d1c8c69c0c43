// A source at another sample rate: pulls from the source it wraps and
// converts with libsamplerate, block by block. The length comes out as the
// input's length times the ratio, rounded. Used on the host's main thread.
#pragma once

#include "AudioStream.h"

#include <memory>
#include <vector>

typedef struct SRC_STATE_tag SRC_STATE;

namespace vsthost {

class ResamplingSource final : public AudioSource {
public:
  // Answers null with the reason in `error` when the converter cannot start.
  static std::unique_ptr<ResamplingSource> Create(AudioSource& input, int sampleRate,
                                                  std::string& error);
  ~ResamplingSource() override;

  int Channels() const override { return input_.Channels(); }
  int SampleRate() const override { return sampleRate_; }
  int64_t Length() const override { return total_ < 0 ? -1 : total_ - produced_; }
  size_t Read(float* const* channels, size_t frames) override;
  std::string Error() const override { return input_.Error(); }

private:
  ResamplingSource(AudioSource& input, int sampleRate);
  static long Pull(void* self, float** data);

  AudioSource& input_;
  int sampleRate_;
  double ratio_;
  SRC_STATE* state_ = nullptr;
  int64_t total_ = -1, produced_ = 0, consumed_ = 0;
  bool inputEnded_ = false;
  std::vector<std::vector<float>> block_;
  std::vector<float*> blockPointers_;
  std::vector<float> pulled_, converted_;
};

} // namespace vsthost
