// Bank files (.fxb) in the per-parameter form: a plug-in's programs as names
// and normalised parameter values, every field big-endian, the way hosts
// save them for plug-ins that exchange no opaque state. Pure data, no
// plug-in: encoding, and decoding that refuses anything damaged. Used on the
// command-line host's main thread.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vsthost {

struct FxProgram {
  std::string name; // at most 27 bytes are stored
  std::vector<float> values;
};

struct FxBank {
  int32_t pluginId = 0;
  int32_t pluginVersion = 0;
  int32_t currentProgram = 0;
  std::vector<FxProgram> programs; // all with the same number of values
};

std::vector<uint8_t> EncodeFxBank(const FxBank& bank);

// Accepts only a complete, self-consistent bank whose values are numbers in
// 0..1; otherwise answers false with the reason in `error` and leaves `out`
// as it was.
bool DecodeFxBank(const std::vector<uint8_t>& bytes, FxBank& out, std::string& error);

} // namespace vsthost
