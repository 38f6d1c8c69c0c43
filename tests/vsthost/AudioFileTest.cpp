#include "AudioFile.h"
#include "FileSystem.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

using vsthost::AudioBuffer;

void Put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int s = 0; s < 32; s += 8)
    out.push_back(static_cast<uint8_t>(v >> s));
}
void Put16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void PutTag(std::vector<uint8_t>& out, const char* tag) {
  for (int i = 0; i < 4; ++i)
    out.push_back(static_cast<uint8_t>(tag[i]));
}

// A WAV image with the given format and raw sample bytes, an odd-sized chunk before the data.
std::vector<uint8_t> MakeWav(uint16_t format, uint16_t channels, uint16_t bits,
                             const std::vector<uint8_t>& samples, bool extensible = false) {
  std::vector<uint8_t> out;
  PutTag(out, "RIFF");
  Put32(out, 0); // sizes left unset, as streaming writers do
  PutTag(out, "WAVE");
  PutTag(out, "LIST");
  Put32(out, 3);
  out.insert(out.end(), {1, 2, 3, 0}); // odd size plus pad byte
  PutTag(out, "fmt ");
  Put32(out, extensible ? 40 : 16);
  Put16(out, extensible ? 0xFFFE : format);
  Put16(out, channels);
  Put32(out, 48000);
  Put32(out, 48000u * channels * bits / 8);
  Put16(out, static_cast<uint16_t>(channels * bits / 8));
  Put16(out, bits);
  if (extensible) {
    Put16(out, 22);
    Put16(out, bits);
    Put32(out, 3);
    Put16(out, format); // the sub-format GUID starts with the format tag
    out.insert(out.end(), {0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71});
  }
  PutTag(out, "data");
  Put32(out, static_cast<uint32_t>(samples.size()));
  out.insert(out.end(), samples.begin(), samples.end());
  return out;
}

// Reads a whole file image through the host's reader; `out` changes only on
// success.
bool ReadImage(const std::vector<uint8_t>& image, AudioBuffer& out, std::string& error) {
  // One file per test: CTest runs the cases of this file at the same time.
  const std::string path =
      std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".wav";
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  if (!image.empty()) std::fwrite(image.data(), 1, image.size(), file);
  std::fclose(file);
  auto source = vsthost::AudioFileSource::Open(path, error);
  if (!source) return false;
  AudioBuffer audio;
  audio.sampleRate = source->SampleRate();
  audio.channels.resize(static_cast<size_t>(source->Channels()));
  std::vector<std::vector<float>> block(audio.channels.size(), std::vector<float>(64));
  std::vector<float*> pointers;
  for (auto& channel : block)
    pointers.push_back(channel.data());
  size_t got;
  while ((got = source->Read(pointers.data(), 64)) > 0) {
    for (size_t c = 0; c < block.size(); ++c)
      audio.channels[c].insert(audio.channels[c].end(), block[c].begin(), block[c].begin() + got);
  }
  if (!source->Error().empty()) {
    error = source->Error();
    return false;
  }
  out = std::move(audio);
  return true;
}

// Writes `audio` through the host's writer as `path` in `format`.
bool WriteAudio(const std::string& path, vsthost::SampleFormat format, const AudioBuffer& audio,
                std::string& error) {
  auto sink = vsthost::AudioFileSink::Create(path, format, audio.ChannelCount(), audio.sampleRate,
                                             static_cast<int64_t>(audio.Frames()), error);
  if (!sink) return false;
  std::vector<const float*> pointers;
  for (const auto& channel : audio.channels)
    pointers.push_back(channel.data());
  return sink->Write(pointers.data(), audio.ChannelCount(), audio.Frames(), error) &&
         sink->Finish(error);
}

std::vector<uint8_t> FileImage(const std::string& path) {
  std::vector<uint8_t> bytes;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return bytes;
  int c;
  while ((c = std::fgetc(file)) != EOF)
    bytes.push_back(static_cast<uint8_t>(c));
  std::fclose(file);
  return bytes;
}

} // namespace

TEST(VstHostWavFile, Reads16BitStereo) {
  std::vector<uint8_t> samples;
  Put16(samples, 0x4000);
  Put16(samples, 0x8000);
  Put16(samples, 0x7FFF);
  Put16(samples, 0x0000);
  AudioBuffer audio;
  std::string error;
  ASSERT_TRUE(ReadImage(MakeWav(1, 2, 16, samples), audio, error)) << error;
  EXPECT_EQ(audio.sampleRate, 48000);
  ASSERT_EQ(audio.ChannelCount(), 2);
  ASSERT_EQ(audio.Frames(), 2u);
  EXPECT_EQ(audio.channels[0][0], 0.5f);
  EXPECT_EQ(audio.channels[1][0], -1.0f);
  EXPECT_EQ(audio.channels[0][1], 32767.0f / 32768.0f);
}

TEST(VstHostWavFile, Reads24BitMonoAndExtensibleFloat) {
  std::vector<uint8_t> pcm = {0x00, 0x00, 0xC0, 0xFF, 0xFF, 0x7F}; // -0.5, max
  AudioBuffer audio;
  std::string error;
  ASSERT_TRUE(ReadImage(MakeWav(1, 1, 24, pcm), audio, error)) << error;
  ASSERT_EQ(audio.Frames(), 2u);
  EXPECT_EQ(audio.channels[0][0], -0.5f);
  EXPECT_EQ(audio.channels[0][1], 8388607.0f / 8388608.0f);

  std::vector<uint8_t> floats(8);
  const float values[2] = {0.25f, -3.5f};
  std::memcpy(floats.data(), values, 8);
  ASSERT_TRUE(ReadImage(MakeWav(3, 1, 32, floats, true), audio, error)) << error;
  EXPECT_EQ(audio.channels[0][1], -3.5f);
}

TEST(VstHostWavFile, FloatRoundTripIsExact) {
  AudioBuffer audio;
  audio.sampleRate = 96000;
  audio.Resize(2, 5);
  for (size_t i = 0; i < 5; ++i) {
    audio.channels[0][i] = 0.1f * static_cast<float>(i);
    audio.channels[1][i] = -1e-30f * static_cast<float>(i);
  }
  AudioBuffer back;
  std::string error;
  ASSERT_TRUE(WriteAudio("round-trip.wav", vsthost::SampleFormat::Default, audio, error));
  ASSERT_TRUE(ReadImage(FileImage("round-trip.wav"), back, error)) << error;
  EXPECT_EQ(back.sampleRate, 96000);
  EXPECT_EQ(back.channels, audio.channels);
}

TEST(VstHostWavFile, TruncatedDataKeepsWholeFramesOnly) {
  std::vector<uint8_t> samples(4 * 3 + 3, 0); // three stereo 16-bit frames and a stray
  std::vector<uint8_t> image = MakeWav(1, 2, 16, samples);
  image.resize(image.size() - 5); // cut inside the third frame
  AudioBuffer audio;
  std::string error;
  ASSERT_TRUE(ReadImage(image, audio, error)) << error;
  EXPECT_EQ(audio.Frames(), 2u);
}

TEST(VstHostWavFile, RefusesWhatItCannotRead) {
  AudioBuffer audio;
  audio.Resize(1, 7);
  std::string error;
  const std::vector<uint8_t> empty;
  EXPECT_FALSE(ReadImage(empty, audio, error));
  EXPECT_FALSE(ReadImage(std::vector<uint8_t>(64, 'x'), audio, error));
  EXPECT_FALSE(ReadImage(MakeWav(1, 6, 16, std::vector<uint8_t>(24)), audio, error));
  EXPECT_NE(error.find("channels"), std::string::npos);
  EXPECT_FALSE(ReadImage(MakeWav(0x1234, 1, 16, std::vector<uint8_t>(4)), audio, error));
  EXPECT_FALSE(ReadImage(MakeWav(2, 1, 16, std::vector<uint8_t>(4)), audio, error));
  std::vector<uint8_t> noData = MakeWav(1, 1, 16, {});
  noData.resize(noData.size() - 8);
  EXPECT_FALSE(ReadImage(noData, audio, error));
  EXPECT_EQ(audio.Frames(), 7u); // untouched on failure
}

TEST(VstHostAudioFile, FormatsAndTheirLimits) {
  AudioBuffer audio;
  audio.sampleRate = 44100;
  audio.Resize(2, 4410);
  for (size_t i = 0; i < audio.Frames(); ++i) {
    audio.channels[0][i] = 0.5f * std::sin(0.05f * static_cast<float>(i));
    audio.channels[1][i] = -audio.channels[0][i];
  }
  struct Case {
    const char* path;
    vsthost::SampleFormat format;
    const char* magic;
    float tolerance; // dither and rounding
  };
  const Case cases[] = {
      {"formats.flac", vsthost::SampleFormat::Default, "fLaC", 2.0f / 8388608.0f},
      {"formats16.flac", vsthost::SampleFormat::Int16, "fLaC", 2.0f / 32768.0f},
      {"formats.rf64", vsthost::SampleFormat::Float32, "RF64", 0.0f},
      {"formats.w64", vsthost::SampleFormat::Float64, "riff", 0.0f},
      {"formats.aiff", vsthost::SampleFormat::Int24, "FORM", 2.0f / 8388608.0f},
      {"formats.wav", vsthost::SampleFormat::Int16, "RIFF", 2.0f / 32768.0f},
  };
  for (const Case& c : cases) {
    std::string error;
    ASSERT_TRUE(WriteAudio(c.path, c.format, audio, error)) << c.path << ": " << error;
    const std::vector<uint8_t> image = FileImage(c.path);
    EXPECT_EQ(std::string(image.begin(), image.begin() + 4), c.magic) << c.path;
    AudioBuffer back;
    ASSERT_TRUE(ReadImage(image, back, error)) << c.path << ": " << error;
    ASSERT_EQ(back.Frames(), audio.Frames()) << c.path;
    float worst = 0.0f;
    for (size_t ch = 0; ch < 2; ++ch)
      for (size_t i = 0; i < audio.Frames(); ++i)
        worst = std::max(worst, std::fabs(back.channels[ch][i] - audio.channels[ch][i]));
    EXPECT_LE(worst, c.tolerance) << c.path;
  }

  // Too long for a 4 GiB format: refused before a byte is written.
  std::string error;
  EXPECT_EQ(vsthost::AudioFileSink::Create("too-long.aiff", vsthost::SampleFormat::Default, 2,
                                           44100, int64_t{1} << 30, error),
            nullptr);
  EXPECT_NE(error.find("4 GiB"), std::string::npos) << error;
  EXPECT_TRUE(FileImage("too-long.aiff").empty());
  EXPECT_EQ(
      vsthost::AudioFileSink::Create("x.wav", vsthost::SampleFormat::Flac, 2, 44100, 10, error),
      nullptr);
}

TEST(VstHostAudioFile, ATruncatedFileSaysWhatItDeclared) {
  std::vector<uint8_t> samples(4 * 100, 1);
  std::vector<uint8_t> image = MakeWav(1, 2, 16, samples);
  image.resize(image.size() - 4 * 60);
  const std::string path = "truncated-declared.wav";
  std::FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  std::fwrite(image.data(), 1, image.size(), file);
  std::fclose(file);
  std::string error;
  auto source = vsthost::AudioFileSource::Open(path, error);
  ASSERT_TRUE(source) << error;
  EXPECT_EQ(source->Length(), 40);
  EXPECT_EQ(source->DeclaredFrames(), 100);
}
