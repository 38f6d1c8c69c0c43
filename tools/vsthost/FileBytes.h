// Whole-file reads and writes for the command-line host (WAV files, saved
// plug-in states).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vsthost {

bool ReadFileBytes(const std::string& path, std::vector<uint8_t>& out, std::string& error);
bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error);

} // namespace vsthost
