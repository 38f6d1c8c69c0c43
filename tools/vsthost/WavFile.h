// Reading and writing WAV files for the command-line host: reads 16-, 24-
// and 32-bit integer PCM and 32- or 64-bit float, mono or stereo; writes
// 32-bit float. Whole files in memory; called from the host's main thread.
#pragma once

#include "AudioBuffer.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vsthost {

// Parses a complete WAV image. On failure answers false with a reason in
// `error` and leaves `out` unchanged.
bool ParseWav(const std::vector<uint8_t>& bytes, AudioBuffer& out, std::string& error);

// The 32-bit float WAV image of `audio`.
std::vector<uint8_t> EncodeWavFloat(const AudioBuffer& audio);

bool ReadWavFile(const std::string& path, AudioBuffer& out, std::string& error);
bool WriteWavFile(const std::string& path, const AudioBuffer& audio, std::string& error);

} // namespace vsthost
