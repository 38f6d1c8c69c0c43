// Audio files through libsndfile: WAV (RF64 past 4 GiB), W64, AIFF, FLAC
// and whatever else the library reads. Reading and writing stream block by
// block; a written file goes through ReplacingFile, so a failed render leaves
// the target as it was. "-" is standard input or output. Main thread only.
#pragma once

#include "AudioStream.h"
#include "Options.h"
#include "ReplacingFile.h"

#include <memory>
#include <string>
#include <vector>

typedef struct sf_private_tag SNDFILE;

namespace vsthost {

class Dither;

class AudioFileSource final : public AudioSource {
public:
  static std::unique_ptr<AudioFileSource> Open(const std::string& path, std::string& error);
  ~AudioFileSource() override;

  int Channels() const override { return channels_; }
  int SampleRate() const override { return sampleRate_; }
  int64_t Length() const override { return frames_ < 0 ? -1 : frames_ - read_; }
  size_t Read(float* const* channels, size_t frames) override;
  std::string Error() const override { return error_; }

  // Frames the file's header declares when it holds fewer (a truncated
  // file), else -1.
  int64_t DeclaredFrames() const { return declaredFrames_; }
  int64_t FramesRead() const { return read_; }

private:
  AudioFileSource() = default;

  std::FILE* file_ = nullptr;
  SNDFILE* sound_ = nullptr;
  int channels_ = 0, sampleRate_ = 0;
  int64_t frames_ = -1, read_ = 0, declaredFrames_ = -1;
  std::vector<float> interleaved_;
  std::string path_, error_;
};

class AudioFileSink final : public AudioSink {
public:
  // `maxFrames` (-1 when unknown) is checked against the format's size limit
  // before anything is written.
  static std::unique_ptr<AudioFileSink> Create(const std::string& path, SampleFormat format,
                                               int channels, int sampleRate, int64_t maxFrames,
                                               std::string& error);
  ~AudioFileSink() override;

  bool Write(const float* const* channels, int channelCount, size_t frames,
             std::string& error) override;
  // Whether samples are reduced to integers (and so clip at full scale).
  bool WritesIntegers() const { return bits_ != 0; }
  // Completes the file and puts it in place of the target.
  bool Finish(std::string& error);

private:
  AudioFileSink() = default;

  ReplacingFile file_;
  SNDFILE* sound_ = nullptr;
  std::string path_;
  int bits_ = 0; // integer width, 0 for float
  std::unique_ptr<Dither> dither_;
  std::vector<float> floats_;
  std::vector<int> ints_;
};

// The libsndfile format for a file name and --format; 0 with the reason in
// `error` when they do not fit together.
int SoundFileFormat(const std::string& path, SampleFormat format, std::string& error);

} // namespace vsthost
