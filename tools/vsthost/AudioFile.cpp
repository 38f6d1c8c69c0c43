#include "AudioFile.h"

#include "Dither.h"
#include "FileSystem.h"

#include <sndfile.h>

#include <algorithm>
#include <cstring>

namespace vsthost {
namespace {

// libsndfile reads and writes through the host's own open file, so that
// names reach the system unchanged (wide on Windows) and writes go to the
// temporary file.
sf_count_t FileLength(void* user) {
  std::FILE* file = static_cast<std::FILE*>(user);
  const int64_t here = TellFile(file);
  if (here < 0 || !SeekFile(file, 0, SEEK_END)) return -1;
  const int64_t end = TellFile(file);
  SeekFile(file, here, SEEK_SET);
  return end;
}

sf_count_t FileSeek(sf_count_t offset, int whence, void* user) {
  std::FILE* file = static_cast<std::FILE*>(user);
  return SeekFile(file, offset, whence) ? TellFile(file) : -1;
}

sf_count_t FileRead(void* to, sf_count_t count, void* user) {
  return static_cast<sf_count_t>(
      std::fread(to, 1, static_cast<size_t>(count), static_cast<std::FILE*>(user)));
}

sf_count_t FileWrite(const void* from, sf_count_t count, void* user) {
  return static_cast<sf_count_t>(
      std::fwrite(from, 1, static_cast<size_t>(count), static_cast<std::FILE*>(user)));
}

sf_count_t FileTell(void* user) {
  return TellFile(static_cast<std::FILE*>(user));
}

SF_VIRTUAL_IO kFileIo = {FileLength, FileSeek, FileRead, FileWrite, FileTell};

std::string Extension(const std::string& path) {
  const std::string name = BaseName(path);
  const size_t dot = name.rfind('.');
  std::string ext = dot == std::string::npos ? std::string() : name.substr(dot + 1);
  for (char& c : ext)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext;
}

// The header's own count when the data ends early: libsndfile logs
// "data : DECLARED (should be FOUND)" and reads what is there.
int64_t DeclaredFramesOf(SNDFILE* sound, const SF_INFO& info) {
  char log[8192] = {};
  sf_command(sound, SFC_GET_LOG_INFO, log, sizeof log - 1);
  for (const char* tag : {"\ndata : ", "\nSSND : "}) {
    const char* line = std::strstr(log, tag);
    long long declared = 0, found = 0;
    if (line != nullptr && info.frames > 0 &&
        std::sscanf(line + std::strlen(tag), "%lld (should be %lld)", &declared, &found) == 2 &&
        found > 0 && declared > found && declared < 0xFFFFFF00LL) {
      return static_cast<int64_t>(static_cast<double>(info.frames) * declared / found);
    }
  }
  return -1;
}

int BitsOf(int format) {
  switch (format & SF_FORMAT_SUBMASK) {
  case SF_FORMAT_PCM_16:
    return 16;
  case SF_FORMAT_PCM_24:
    return 24;
  case SF_FORMAT_PCM_32:
    return 32;
  default:
    return 0;
  }
}

int BytesPerSample(int format) {
  if (BitsOf(format) != 0) return BitsOf(format) / 8;
  return (format & SF_FORMAT_SUBMASK) == SF_FORMAT_DOUBLE ? 8 : 4;
}

} // namespace

std::unique_ptr<AudioFileSource> AudioFileSource::Open(const std::string& path,
                                                       std::string& error) {
  std::unique_ptr<AudioFileSource> source(new AudioFileSource());
  SF_INFO info{};
  if (path == kStdStream) {
    UseBinaryMode(stdin);
    source->sound_ = sf_open(path.c_str(), SFM_READ, &info);
  } else {
    source->file_ = OpenFile(path, "rb");
    if (source->file_ == nullptr) {
      error = path + ": " + LastFileError();
      return nullptr;
    }
    source->sound_ = sf_open_virtual(&kFileIo, SFM_READ, &info, source->file_);
  }
  const std::string name = path == kStdStream ? "standard input" : path;
  if (source->sound_ == nullptr) {
    error = name + ": " + sf_strerror(nullptr);
    return nullptr;
  }
  if (info.channels != 1 && info.channels != 2) {
    error = name + ": only mono and stereo files are supported (this one has " +
            std::to_string(info.channels) + " channels)";
    return nullptr;
  }
  if (info.samplerate <= 0 || info.samplerate > 1000000) {
    error = name + ": implausible sample rate " + std::to_string(info.samplerate);
    return nullptr;
  }
  source->path_ = name;
  source->channels_ = info.channels;
  source->sampleRate_ = info.samplerate;
  // A pipe's length is unknown until it ends.
  source->frames_ = (info.seekable && info.frames < SF_COUNT_MAX) ? info.frames : -1;
  source->declaredFrames_ = DeclaredFramesOf(source->sound_, info);
  return source;
}

AudioFileSource::~AudioFileSource() {
  if (sound_ != nullptr) sf_close(sound_);
  if (file_ != nullptr) std::fclose(file_);
}

size_t AudioFileSource::Read(float* const* channels, size_t frames) {
  interleaved_.resize(frames * static_cast<size_t>(channels_));
  size_t got = 0;
  while (got < frames) {
    const sf_count_t n = sf_readf_float(sound_, interleaved_.data() + got * channels_,
                                        static_cast<sf_count_t>(frames - got));
    if (n <= 0) break;
    got += static_cast<size_t>(n);
  }
  if (got < frames && sf_error(sound_) != SF_ERR_NO_ERROR) {
    error_ = path_ + ": " + sf_strerror(sound_);
    return 0;
  }
  for (size_t i = 0; i < got; ++i)
    for (int c = 0; c < channels_; ++c)
      channels[c][i] = interleaved_[i * static_cast<size_t>(channels_) + static_cast<size_t>(c)];
  read_ += static_cast<int64_t>(got);
  return got;
}

int SoundFileFormat(const std::string& path, SampleFormat format, std::string& error) {
  const std::string ext = Extension(path);
  int container = SF_FORMAT_WAV;
  if (ext == "rf64")
    container = SF_FORMAT_RF64;
  else if (ext == "w64")
    container = SF_FORMAT_W64;
  else if (ext == "aif" || ext == "aiff" || ext == "aifc")
    container = SF_FORMAT_AIFF;
  else if (ext == "flac")
    container = SF_FORMAT_FLAC;
  if (format == SampleFormat::Flac && container != SF_FORMAT_FLAC) {
    if (path == kStdStream || ext == "wav" || ext == "rf64" || ext == "w64" ||
        container == SF_FORMAT_AIFF) {
      error = "--format flac needs an output name ending in .flac";
      return 0;
    }
    container = SF_FORMAT_FLAC;
  }
  int encoding = container == SF_FORMAT_FLAC ? SF_FORMAT_PCM_24 : SF_FORMAT_FLOAT;
  switch (format) {
  case SampleFormat::Float32:
    encoding = SF_FORMAT_FLOAT;
    break;
  case SampleFormat::Float64:
    encoding = SF_FORMAT_DOUBLE;
    break;
  case SampleFormat::Int16:
    encoding = SF_FORMAT_PCM_16;
    break;
  case SampleFormat::Int24:
    encoding = SF_FORMAT_PCM_24;
    break;
  case SampleFormat::Int32:
    encoding = SF_FORMAT_PCM_32;
    break;
  default:
    break;
  }
  SF_INFO probe{};
  probe.channels = 2;
  probe.samplerate = 48000;
  probe.format = container | encoding;
  if (!sf_format_check(&probe)) {
    error = "this --format cannot be written as ." + (ext.empty() ? std::string("wav") : ext) +
            " (FLAC holds 16 or 24 bits)";
    return 0;
  }
  return container | encoding;
}

std::unique_ptr<AudioFileSink> AudioFileSink::Create(const std::string& path, SampleFormat format,
                                                     int channels, int sampleRate,
                                                     int64_t maxFrames, std::string& error) {
  int sfFormat = SoundFileFormat(path, format, error);
  if (sfFormat == 0) return nullptr;
  const int container = sfFormat & SF_FORMAT_TYPEMASK;
  const bool toPipe = path == kStdStream;
  // A .wav file grows into RF64 past 4 GiB; a pipe cannot be rewritten.
  const bool growsToRf64 = container == SF_FORMAT_WAV && !toPipe;
  if (growsToRf64) sfFormat = SF_FORMAT_RF64 | (sfFormat & SF_FORMAT_SUBMASK);
  const bool limited = container == SF_FORMAT_AIFF || (container == SF_FORMAT_WAV && toPipe);
  const int64_t bytesPerFrame = channels * BytesPerSample(sfFormat);
  if (limited && maxFrames >= 0 && maxFrames * bytesPerFrame > 0xFFFFFFFFLL - (1 << 20)) {
    error = path + ": the render (" + std::to_string(maxFrames) +
            " frames) is too long for this format's 4 GiB limit: use .rf64, .w64 or .flac";
    return nullptr;
  }

  std::unique_ptr<AudioFileSink> sink(new AudioFileSink());
  SF_INFO info{};
  info.channels = channels;
  info.samplerate = sampleRate;
  info.format = sfFormat;
  if (toPipe) {
    UseBinaryMode(stdout);
    sink->sound_ = sf_open(path.c_str(), SFM_WRITE, &info);
  } else {
    if (!sink->file_.Open(path, error)) return nullptr;
    sink->sound_ = sf_open_virtual(&kFileIo, SFM_WRITE, &info, sink->file_.Stream());
  }
  if (sink->sound_ == nullptr) {
    error = path + ": " + sf_strerror(nullptr);
    return nullptr;
  }
  if (growsToRf64) sf_command(sink->sound_, SFC_RF64_AUTO_DOWNGRADE, nullptr, SF_TRUE);
  sink->path_ = toPipe ? "standard output" : path;
  sink->bits_ = BitsOf(sfFormat);
  if (sink->bits_ != 0) sink->dither_ = std::make_unique<Dither>(sink->bits_);
  return sink;
}

AudioFileSink::~AudioFileSink() {
  if (sound_ != nullptr) sf_close(sound_);
}

bool AudioFileSink::Write(const float* const* channels, int channelCount, size_t frames,
                          std::string& error) {
  const auto stride = static_cast<size_t>(channelCount);
  sf_count_t written;
  if (dither_) {
    ints_.resize(frames * stride);
    for (size_t i = 0; i < frames; ++i)
      for (size_t c = 0; c < stride; ++c)
        ints_[i * stride + c] = dither_->Quantise(channels[c][i]);
    written = sf_writef_int(sound_, ints_.data(), static_cast<sf_count_t>(frames));
  } else {
    floats_.resize(frames * stride);
    for (size_t i = 0; i < frames; ++i)
      for (size_t c = 0; c < stride; ++c)
        floats_[i * stride + c] = channels[c][i];
    written = sf_writef_float(sound_, floats_.data(), static_cast<sf_count_t>(frames));
  }
  if (written != static_cast<sf_count_t>(frames)) {
    error = path_ + ": write failed (" + sf_strerror(sound_) + ")";
    file_.MarkFailed();
    return false;
  }
  return true;
}

bool AudioFileSink::Finish(std::string& error) {
  const int closed = sf_close(sound_);
  sound_ = nullptr;
  if (path_ == "standard output") {
    if (closed != 0 || std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
      error = "standard output: write failed";
      return false;
    }
    return true;
  }
  if (closed != 0) file_.MarkFailed();
  return file_.Commit(error);
}

} // namespace vsthost
