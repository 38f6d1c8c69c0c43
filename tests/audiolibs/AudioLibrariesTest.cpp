// Writes and reads files through libsndfile and resamples through
// libsamplerate, as the command-line host does, in each build.
#include <samplerate.h>
#include <sndfile.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;

// Interleaved stereo sine, left and right at different frequencies.
std::vector<float> StereoSine(int rate, int frames, double leftHz, double rightHz) {
  std::vector<float> samples(2 * static_cast<size_t>(frames));
  for (int i = 0; i < frames; ++i) {
    samples[2 * i] = static_cast<float>(0.5 * std::sin(2 * kPi * leftHz * i / rate));
    samples[2 * i + 1] = static_cast<float>(0.5 * std::sin(2 * kPi * rightHz * i / rate));
  }
  return samples;
}

// A file in the test's folder that is gone again when the test ends.
struct ScratchFile {
  explicit ScratchFile(std::string name) : path(std::move(name)) { std::remove(path.c_str()); }
  ~ScratchFile() { std::remove(path.c_str()); }
  std::string path;
};

void Write(const std::string& path, int format, int rate, const std::vector<float>& samples) {
  SF_INFO info{};
  info.samplerate = rate;
  info.channels = 2;
  info.format = format;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
  const sf_count_t frames = static_cast<sf_count_t>(samples.size() / 2);
  EXPECT_EQ(sf_writef_float(file, samples.data(), frames), frames);
  EXPECT_EQ(sf_close(file), 0);
}

std::vector<float> Read(const std::string& path, SF_INFO& info) {
  info = SF_INFO{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  EXPECT_NE(file, nullptr) << sf_strerror(nullptr);
  if (file == nullptr)
    return {};
  std::vector<float> samples(static_cast<size_t>(info.frames) * info.channels);
  EXPECT_EQ(sf_readf_float(file, samples.data(), info.frames), info.frames);
  sf_close(file);
  return samples;
}

} // namespace

TEST(AudioLibraries, FlacRoundTripIsLossless) {
  ScratchFile flac("audio_library_round_trip.flac");
  const std::vector<float> sine = StereoSine(44100, 4410, 440, 1000);
  std::vector<short> samples(sine.size());
  for (size_t i = 0; i < sine.size(); ++i)
    samples[i] = static_cast<short>(std::lround(sine[i] * 65534.0f)); // full scale
  SF_INFO info{};
  info.samplerate = 44100;
  info.channels = 2;
  info.format = SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
  SNDFILE* file = sf_open(flac.path.c_str(), SFM_WRITE, &info);
  ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
  EXPECT_EQ(sf_writef_short(file, samples.data(), 4410), 4410);
  ASSERT_EQ(sf_close(file), 0);

  info = SF_INFO{};
  file = sf_open(flac.path.c_str(), SFM_READ, &info);
  ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
  std::vector<short> back(samples.size() + 2);
  EXPECT_EQ(sf_readf_short(file, back.data(), 4411), 4410);
  sf_close(file);
  back.resize(samples.size());
  EXPECT_EQ(info.format, SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
  EXPECT_EQ(info.samplerate, 44100);
  EXPECT_EQ(info.channels, 2);
  EXPECT_EQ(back, samples);

  std::ifstream bytes(flac.path, std::ios::binary);
  char magic[4] = {};
  bytes.read(magic, 4);
  EXPECT_EQ(std::string(magic, 4), "fLaC");
}

TEST(AudioLibraries, Rf64FileCarriesItsSizesInTheDs64Chunk) {
  ScratchFile rf64("audio_library_header.rf64");
  const std::vector<float> samples = StereoSine(48000, 480, 440, 1000);
  Write(rf64.path, SF_FORMAT_RF64 | SF_FORMAT_FLOAT, 48000, samples);

  std::ifstream in(rf64.path, std::ios::binary);
  std::vector<uint8_t> header(48);
  in.read(reinterpret_cast<char*>(header.data()), static_cast<std::streamsize>(header.size()));
  ASSERT_TRUE(in);
  const auto le32 = [&](size_t at) {
    return header[at] | header[at + 1] << 8 | header[at + 2] << 16 | uint32_t{header[at + 3]} << 24;
  };
  EXPECT_EQ(std::string(header.begin(), header.begin() + 4), "RF64");
  EXPECT_EQ(le32(4), 0xFFFFFFFFu); // the real size lives in ds64
  EXPECT_EQ(std::string(header.begin() + 8, header.begin() + 12), "WAVE");
  EXPECT_EQ(std::string(header.begin() + 12, header.begin() + 16), "ds64");
  const uint64_t dataBytes = le32(28) | uint64_t{le32(32)} << 32;
  const uint64_t sampleFrames = le32(36) | uint64_t{le32(40)} << 32;
  EXPECT_EQ(dataBytes, samples.size() * sizeof(float));
  EXPECT_EQ(sampleFrames, samples.size() / 2);

  SF_INFO info;
  EXPECT_EQ(Read(rf64.path, info), samples);
  EXPECT_EQ(info.format, SF_FORMAT_RF64 | SF_FORMAT_FLOAT);
}

TEST(AudioLibraries, OneSecondAt44100BecomesOneSecondAt48000AtTheSamePitch) {
  const std::vector<float> in = StereoSine(44100, 44100, 441, 1000);
  int error = 0;
  SRC_STATE* state = src_new(SRC_SINC_MEDIUM_QUALITY, 2, &error);
  ASSERT_NE(state, nullptr) << src_strerror(error);

  // Fed in blocks and flushed, as a streaming render does.
  std::vector<float> out;
  std::vector<float> block(2 * 1024);
  constexpr long kInBlock = 512;
  long consumed = 0;
  for (bool done = false; !done;) {
    SRC_DATA data{};
    const long left = static_cast<long>(in.size() / 2) - consumed;
    data.data_in = in.data() + 2 * consumed;
    data.input_frames = std::min(left, kInBlock);
    data.data_out = block.data();
    data.output_frames = static_cast<long>(block.size() / 2);
    data.end_of_input = data.input_frames == left;
    data.src_ratio = 48000.0 / 44100.0;
    ASSERT_EQ(src_process(state, &data), 0);
    consumed += data.input_frames_used;
    out.insert(out.end(), block.begin(), block.begin() + 2 * data.output_frames_gen);
    done = data.end_of_input && data.input_frames_used == data.input_frames &&
           data.output_frames_gen == 0;
  }
  src_delete(state);

  // A second in is a second out; the trailing part frame is the caller's
  // to trim. No delay and no change of pitch: the output is the same sines
  // sampled at 48 kHz.
  const size_t frames = out.size() / 2;
  EXPECT_GE(frames, 48000u);
  EXPECT_LE(frames, 48001u);
  const std::vector<float> expected = StereoSine(48000, 48000, 441, 1000);
  double worst = 0;
  for (size_t i = 2 * 1000; i < 2 * 47000; ++i)
    worst = std::max(worst, std::fabs(double{out[i]} - expected[i]));
  EXPECT_LT(worst, 1e-3);
}
