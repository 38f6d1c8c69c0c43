// The host's state and bank files, in the program- and bank-file layouts
// VST hosts share ("CcnK", big-endian): the opaque forms wrap the plug-in's
// own chunk, the per-parameter forms hold normalised floats. Magic, version,
// sizes and the plug-in's id are checked before anything reaches the
// plug-in. Used from the host's main thread.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vsthost {

struct PluginIdentity {
  int32_t uniqueId = 0;
  int32_t version = 0;
  int32_t numParams = 0;
  int32_t numPrograms = 0;
};

struct ProgramState {
  std::vector<uint8_t> chunk; // the opaque form: the plug-in's chunk
  std::vector<float> values;  // the per-parameter form
  std::string programName;
};

// The opaque form around `chunk`, or without one the per-parameter form of
// `values`.
std::vector<uint8_t> EncodeStateFile(const PluginIdentity& plugin, const std::string& programName,
                                     const std::vector<uint8_t>& chunk,
                                     const std::vector<float>& values);

// Checks a state file against the plug-in that is to load it. On failure
// answers false with the reason in `error`.
bool ParseStateFile(const std::vector<uint8_t>& bytes, const PluginIdentity& plugin,
                    ProgramState& out, std::string& error);

struct ProgramBank {
  std::vector<ProgramState> programs; // the per-parameter form: one per program
  std::vector<uint8_t> chunk;         // the opaque form: the plug-in's bank chunk
  int32_t currentProgram = 0;
};

// The per-parameter form of a bank: every program's values and name.
std::vector<uint8_t> EncodeBankFile(const PluginIdentity& plugin,
                                    const std::vector<ProgramState>& programs,
                                    int32_t currentProgram);

// Checks a whole bank file, every program in it, against the plug-in.
bool ParseBankFile(const std::vector<uint8_t>& bytes, const PluginIdentity& plugin,
                   ProgramBank& out, std::string& error);

// Largest state or bank file the host reads.
static constexpr size_t kMaxStateFileBytes = 64u << 20;

} // namespace vsthost
