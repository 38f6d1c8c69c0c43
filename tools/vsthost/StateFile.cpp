#include "StateFile.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace vsthost {
namespace {

constexpr size_t kHeaderBytes = 56; // up to and including the program name
constexpr size_t kNameBytes = 28;
constexpr int32_t kFileVersion = 1;

int32_t Code(const char* tag) {
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint8_t>(tag[0])) << 24 |
                              static_cast<uint32_t>(static_cast<uint8_t>(tag[1])) << 16 |
                              static_cast<uint32_t>(static_cast<uint8_t>(tag[2])) << 8 |
                              static_cast<uint32_t>(static_cast<uint8_t>(tag[3])));
}

void PutBig32(std::vector<uint8_t>& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8)
    out.push_back(static_cast<uint8_t>(v >> shift));
}

uint32_t Big32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
         static_cast<uint32_t>(p[2]) << 8 | static_cast<uint32_t>(p[3]);
}

std::string IdText(int32_t id) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(id));
  return text;
}

} // namespace

std::vector<uint8_t> EncodeStateFile(const PluginIdentity& plugin, const std::string& programName,
                                     const std::vector<uint8_t>& chunk,
                                     const std::vector<float>& values) {
  const bool opaque = !chunk.empty();
  const size_t body = opaque ? 4 + chunk.size() : 4 * values.size();
  std::vector<uint8_t> out;
  PutBig32(out, static_cast<uint32_t>(Code("CcnK")));
  PutBig32(out, static_cast<uint32_t>(kHeaderBytes - 8 + body));
  PutBig32(out, static_cast<uint32_t>(Code(opaque ? "FPCh" : "FxCk")));
  PutBig32(out, kFileVersion);
  PutBig32(out, static_cast<uint32_t>(plugin.uniqueId));
  PutBig32(out, static_cast<uint32_t>(plugin.version));
  PutBig32(out,
           static_cast<uint32_t>(opaque ? plugin.numParams : static_cast<int32_t>(values.size())));
  char name[kNameBytes] = {};
  std::strncpy(name, programName.c_str(), kNameBytes - 1);
  out.insert(out.end(), name, name + kNameBytes);
  if (opaque) {
    PutBig32(out, static_cast<uint32_t>(chunk.size()));
    out.insert(out.end(), chunk.begin(), chunk.end());
  }
  for (const float value : opaque ? std::vector<float>() : values) {
    uint32_t raw;
    std::memcpy(&raw, &value, sizeof raw);
    PutBig32(out, raw);
  }
  return out;
}

bool ParseStateFile(const std::vector<uint8_t>& bytes, const PluginIdentity& plugin,
                    ProgramState& out, std::string& error) {
  const uint8_t* p = bytes.data();
  if (bytes.size() < kHeaderBytes || Big32(p) != static_cast<uint32_t>(Code("CcnK"))) {
    error = "not a program state file";
    return false;
  }
  const uint32_t fxMagic = Big32(p + 8);
  const bool opaque = fxMagic == static_cast<uint32_t>(Code("FPCh"));
  if (!opaque && fxMagic != static_cast<uint32_t>(Code("FxCk"))) {
    error = "not a program state file (a bank, or another kind of file)";
    return false;
  }
  if (Big32(p + 4) != bytes.size() - 8) {
    error = "damaged program state file (its size field says " + std::to_string(Big32(p + 4) + 8) +
            " bytes, the file has " + std::to_string(bytes.size()) + ")";
    return false;
  }
  if (Big32(p + 12) < 1 || Big32(p + 12) > 2) {
    error = "program state file of unknown version " + std::to_string(Big32(p + 12));
    return false;
  }
  const auto id = static_cast<int32_t>(Big32(p + 16));
  if (id != plugin.uniqueId) {
    error = "the state belongs to another plug-in (id " + IdText(id) + ", this one is " +
            IdText(plugin.uniqueId) + ")";
    return false;
  }
  const uint32_t count = Big32(p + 24);
  ProgramState state;
  const char* name = reinterpret_cast<const char*>(p + 28);
  state.programName.assign(name, std::find(name, name + kNameBytes, '\0'));
  const size_t rest = bytes.size() - kHeaderBytes;
  if (opaque) {
    if (rest < 4 || Big32(p + kHeaderBytes) != rest - 4) {
      error = "damaged program state file (chunk size does not match the file)";
      return false;
    }
    state.chunk.assign(bytes.begin() + kHeaderBytes + 4, bytes.end());
  } else {
    if (count != static_cast<uint32_t>(plugin.numParams) || rest != 4u * count) {
      error = "the state holds " + std::to_string(count) + " parameter values, the plug-in has " +
              std::to_string(plugin.numParams);
      return false;
    }
    for (size_t i = 0; i < count; ++i) {
      const uint32_t raw = Big32(p + kHeaderBytes + 4 * i);
      float value;
      std::memcpy(&value, &raw, sizeof value);
      if (!(value >= 0.0f && value <= 1.0f)) {
        error = "parameter " + std::to_string(i) + " of the state is not in 0..1";
        return false;
      }
      state.values.push_back(value);
    }
  }
  out = std::move(state);
  return true;
}

} // namespace vsthost
