// The host's state files: a plug-in's program state in the program-file
// layout VST hosts share ("CcnK", big-endian): the opaque form wraps the
// plug-in's own chunk, the per-parameter form holds normalised floats.
// Magic, version, sizes and the plug-in's id are checked before anything
// reaches the plug-in. Used from the host's main thread.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vsthost {

struct PluginIdentity {
  int32_t uniqueId = 0;
  int32_t version = 0;
  int32_t numParams = 0;
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

// Largest state file the host reads.
static constexpr size_t kMaxStateFileBytes = 64u << 20;

} // namespace vsthost
