#include "WavFile.h"

#include <gtest/gtest.h>

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
    Put16(out, format); // the sub-format's first two bytes are the format tag
    out.insert(out.end(), 14, 0);
  }
  PutTag(out, "data");
  Put32(out, static_cast<uint32_t>(samples.size()));
  out.insert(out.end(), samples.begin(), samples.end());
  return out;
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
  ASSERT_TRUE(vsthost::ParseWav(MakeWav(1, 2, 16, samples), audio, error)) << error;
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
  ASSERT_TRUE(vsthost::ParseWav(MakeWav(1, 1, 24, pcm), audio, error)) << error;
  ASSERT_EQ(audio.Frames(), 2u);
  EXPECT_EQ(audio.channels[0][0], -0.5f);
  EXPECT_EQ(audio.channels[0][1], 8388607.0f / 8388608.0f);

  std::vector<uint8_t> floats(8);
  const float values[2] = {0.25f, -3.5f};
  std::memcpy(floats.data(), values, 8);
  ASSERT_TRUE(vsthost::ParseWav(MakeWav(3, 1, 32, floats, true), audio, error)) << error;
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
  ASSERT_TRUE(vsthost::ParseWav(vsthost::EncodeWavFloat(audio), back, error)) << error;
  EXPECT_EQ(back.sampleRate, 96000);
  EXPECT_EQ(back.channels, audio.channels);
}

TEST(VstHostWavFile, TruncatedDataKeepsWholeFramesOnly) {
  std::vector<uint8_t> samples(4 * 3 + 3, 0); // three stereo 16-bit frames and a stray
  std::vector<uint8_t> image = MakeWav(1, 2, 16, samples);
  image.resize(image.size() - 5); // cut inside the third frame
  AudioBuffer audio;
  std::string error;
  ASSERT_TRUE(vsthost::ParseWav(image, audio, error)) << error;
  EXPECT_EQ(audio.Frames(), 2u);
}

TEST(VstHostWavFile, RefusesWhatItCannotRead) {
  AudioBuffer audio;
  audio.Resize(1, 7);
  std::string error;
  const std::vector<uint8_t> empty;
  EXPECT_FALSE(vsthost::ParseWav(empty, audio, error));
  EXPECT_FALSE(vsthost::ParseWav(std::vector<uint8_t>(64, 'x'), audio, error));
  EXPECT_FALSE(vsthost::ParseWav(MakeWav(1, 6, 16, std::vector<uint8_t>(24)), audio, error));
  EXPECT_NE(error.find("channels"), std::string::npos);
  EXPECT_FALSE(vsthost::ParseWav(MakeWav(1, 1, 8, std::vector<uint8_t>(4)), audio, error));
  EXPECT_FALSE(vsthost::ParseWav(MakeWav(2, 1, 16, std::vector<uint8_t>(4)), audio, error));
  std::vector<uint8_t> noData = MakeWav(1, 1, 16, {});
  noData.resize(noData.size() - 8);
  EXPECT_FALSE(vsthost::ParseWav(noData, audio, error));
  EXPECT_EQ(audio.Frames(), 7u); // untouched on failure
}
