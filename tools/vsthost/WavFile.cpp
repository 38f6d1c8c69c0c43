#include "WavFile.h"

#include "FileBytes.h"

#include <algorithm>
#include <cstring>

namespace vsthost {
namespace {

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatFloat = 3;
constexpr uint16_t kFormatExtensible = 0xFFFE;

uint32_t Read32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

uint16_t Read16(const uint8_t* p) {
  return static_cast<uint16_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8);
}

// Writes little-endian fields into a buffer sized up front.
class ByteWriter {
public:
  explicit ByteWriter(std::vector<uint8_t>& out) : out_(out) {}
  void U32(uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8)
      out_[pos_++] = static_cast<uint8_t>(v >> shift);
  }
  void U16(uint16_t v) {
    out_[pos_++] = static_cast<uint8_t>(v);
    out_[pos_++] = static_cast<uint8_t>(v >> 8);
  }
  void Tag(const char* tag) {
    for (int i = 0; i < 4; ++i)
      out_[pos_++] = static_cast<uint8_t>(tag[i]);
  }

private:
  std::vector<uint8_t>& out_;
  size_t pos_ = 0;
};

struct Format {
  uint16_t tag = 0;
  uint16_t channels = 0;
  uint32_t sampleRate = 0;
  uint16_t bits = 0;
  bool found = false;
};

// One sample of any supported encoding, scaled to [-1, 1) for integers.
float DecodeSample(const uint8_t* p, const Format& f) {
  if (f.tag == kFormatFloat) {
    if (f.bits == 32) {
      float v;
      const uint32_t raw = Read32(p);
      std::memcpy(&v, &raw, sizeof v);
      return v;
    }
    const uint64_t raw = static_cast<uint64_t>(Read32(p)) | static_cast<uint64_t>(Read32(p + 4))
                                                                << 32;
    double v;
    std::memcpy(&v, &raw, sizeof v);
    return static_cast<float>(v);
  }
  switch (f.bits) {
  case 16:
    return static_cast<float>(static_cast<int16_t>(Read16(p))) / 32768.0f;
  case 24: {
    const uint32_t raw = static_cast<uint32_t>(p[0]) << 8 | static_cast<uint32_t>(p[1]) << 16 |
                         static_cast<uint32_t>(p[2]) << 24;
    return static_cast<float>(static_cast<int32_t>(raw) / 256) / 8388608.0f;
  }
  default:
    return static_cast<float>(static_cast<double>(static_cast<int32_t>(Read32(p))) / 2147483648.0);
  }
}

bool CheckFormat(Format& f, std::string& error) {
  if (!f.found) {
    error = "no format chunk before the audio data";
    return false;
  }
  if (f.channels != 1 && f.channels != 2) {
    error = "only mono and stereo files are supported (file has " + std::to_string(f.channels) +
            " channels)";
    return false;
  }
  if (f.sampleRate == 0 || f.sampleRate > 1000000) {
    error = "implausible sample rate " + std::to_string(f.sampleRate);
    return false;
  }
  const bool pcmOk = f.tag == kFormatPcm && (f.bits == 16 || f.bits == 24 || f.bits == 32);
  const bool floatOk = f.tag == kFormatFloat && (f.bits == 32 || f.bits == 64);
  if (!pcmOk && !floatOk) {
    error = "unsupported sample format (format " + std::to_string(f.tag) + ", " +
            std::to_string(f.bits) + " bits)";
    return false;
  }
  return true;
}

} // namespace

bool ParseWav(const std::vector<uint8_t>& bytes, AudioBuffer& out, std::string& error) {
  if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 ||
      std::memcmp(bytes.data() + 8, "WAVE", 4) != 0) {
    error = "not a RIFF/WAVE file";
    return false;
  }
  Format format;
  size_t pos = 12;
  while (pos + 8 <= bytes.size()) {
    const uint8_t* chunk = bytes.data() + pos;
    const size_t declared = Read32(chunk + 4);
    const size_t body = pos + 8;
    // Streaming writers leave sizes unset or too large: use what is there.
    const size_t size = std::min(declared, bytes.size() - body);
    if (std::memcmp(chunk, "fmt ", 4) == 0) {
      if (size < 16) {
        error = "format chunk too short";
        return false;
      }
      const uint8_t* p = bytes.data() + body;
      format.tag = Read16(p);
      format.channels = Read16(p + 2);
      format.sampleRate = Read32(p + 4);
      format.bits = Read16(p + 14);
      if (format.tag == kFormatExtensible && size >= 26) format.tag = Read16(p + 24);
      format.found = true;
    } else if (std::memcmp(chunk, "data", 4) == 0) {
      if (!CheckFormat(format, error)) return false;
      const size_t sampleBytes = format.bits / 8u;
      const size_t frameBytes = sampleBytes * format.channels;
      const size_t frames = size / frameBytes;
      AudioBuffer audio;
      audio.sampleRate = static_cast<int>(format.sampleRate);
      audio.Resize(format.channels, frames);
      const uint8_t* p = bytes.data() + body;
      for (size_t i = 0; i < frames; ++i) {
        for (size_t c = 0; c < format.channels; ++c) {
          audio.channels[c][i] = DecodeSample(p + i * frameBytes + c * sampleBytes, format);
        }
      }
      out = std::move(audio);
      return true;
    }
    pos = body + size + (size & 1u);
  }
  error = "no audio data in the file";
  return false;
}

std::vector<uint8_t> EncodeWavFloat(const AudioBuffer& audio) {
  constexpr uint32_t kHeaderBytes = 58; // RIFF, 18-byte fmt, fact and data headers
  const uint32_t channels = static_cast<uint32_t>(audio.ChannelCount());
  const uint32_t frames = static_cast<uint32_t>(audio.Frames());
  const uint32_t dataBytes = frames * channels * 4u;
  std::vector<uint8_t> out(kHeaderBytes + dataBytes);
  ByteWriter w(out);
  w.Tag("RIFF");
  w.U32(kHeaderBytes - 8 + dataBytes);
  w.Tag("WAVE");
  w.Tag("fmt ");
  w.U32(18);
  w.U16(kFormatFloat);
  w.U16(static_cast<uint16_t>(channels));
  w.U32(static_cast<uint32_t>(audio.sampleRate));
  w.U32(static_cast<uint32_t>(audio.sampleRate) * channels * 4u);
  w.U16(static_cast<uint16_t>(channels * 4u));
  w.U16(32);
  w.U16(0);
  w.Tag("fact");
  w.U32(4);
  w.U32(frames);
  w.Tag("data");
  w.U32(dataBytes);
  for (uint32_t i = 0; i < frames; ++i) {
    for (uint32_t c = 0; c < channels; ++c) {
      uint32_t raw;
      std::memcpy(&raw, &audio.channels[c][i], sizeof raw);
      w.U32(raw);
    }
  }
  return out;
}

bool ReadWavFile(const std::string& path, AudioBuffer& out, std::string& error) {
  std::vector<uint8_t> bytes;
  if (!ReadFileBytes(path, bytes, error)) return false;
  if (!ParseWav(bytes, out, error)) {
    error = path + ": " + error;
    return false;
  }
  return true;
}

bool WriteWavFile(const std::string& path, const AudioBuffer& audio, std::string& error) {
  // The RIFF sizes are 32-bit.
  constexpr size_t kMaxDataBytes = 0xFFFFFF00u;
  if (audio.Frames() * static_cast<size_t>(audio.ChannelCount()) * 4u > kMaxDataBytes) {
    error = path + ": too long for a WAV file";
    return false;
  }
  return WriteFileBytes(path, EncodeWavFloat(audio), error);
}

} // namespace vsthost
