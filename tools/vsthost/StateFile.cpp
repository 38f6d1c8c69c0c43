#include "StateFile.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace vsthost {
namespace {

constexpr size_t kHeaderBytes = 56;      // a program, up to and including its name
constexpr size_t kBankHeaderBytes = 156; // a bank, up to its first program
constexpr size_t kNameBytes = 28;
constexpr int32_t kFileVersion = 1;
constexpr int32_t kBankVersion = 2; // with the current program

uint32_t Code(const char* tag) {
  return static_cast<uint32_t>(static_cast<uint8_t>(tag[0])) << 24 |
         static_cast<uint32_t>(static_cast<uint8_t>(tag[1])) << 16 |
         static_cast<uint32_t>(static_cast<uint8_t>(tag[2])) << 8 |
         static_cast<uint32_t>(static_cast<uint8_t>(tag[3]));
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

// The fields every program and bank file opens with, after the size.
void PutHead(std::vector<uint8_t>& out, size_t byteSize, const char* kind, int32_t version,
             const PluginIdentity& plugin, size_t count) {
  PutBig32(out, Code("CcnK"));
  PutBig32(out, static_cast<uint32_t>(byteSize));
  PutBig32(out, Code(kind));
  PutBig32(out, static_cast<uint32_t>(version));
  PutBig32(out, static_cast<uint32_t>(plugin.uniqueId));
  PutBig32(out, static_cast<uint32_t>(plugin.version));
  PutBig32(out, static_cast<uint32_t>(count));
}

// Checks what program and bank files share: magic, size, version and id.
bool CheckHead(const uint8_t* p, size_t size, size_t headerBytes, const PluginIdentity& plugin,
               const char* what, std::string& error) {
  if (size < headerBytes || Big32(p) != Code("CcnK")) {
    error = std::string("not a ") + what + " file";
    return false;
  }
  if (Big32(p + 4) != size - 8) {
    error = std::string("damaged ") + what + " file (its size field says " +
            std::to_string(Big32(p + 4) + 8ull) + " bytes, there are " + std::to_string(size) + ")";
    return false;
  }
  if (Big32(p + 12) < 1 || Big32(p + 12) > 2) {
    error = std::string(what) + " file of unknown version " + std::to_string(Big32(p + 12));
    return false;
  }
  const auto id = static_cast<int32_t>(Big32(p + 16));
  if (id != plugin.uniqueId) {
    error = std::string("the ") + what + " belongs to another plug-in (id " + IdText(id) +
            ", this one is " + IdText(plugin.uniqueId) + ")";
    return false;
  }
  return true;
}

// One program, alone in its file or inside a bank: `size` bytes at `p`.
bool ParseProgramRecord(const uint8_t* p, size_t size, const PluginIdentity& plugin,
                        ProgramState& out, std::string& error) {
  if (!CheckHead(p, size, kHeaderBytes, plugin, "program state", error)) return false;
  const uint32_t kind = Big32(p + 8);
  const bool opaque = kind == Code("FPCh");
  if (!opaque && kind != Code("FxCk")) {
    error = "not a program state file (a bank, or another kind of file)";
    return false;
  }
  const uint32_t count = Big32(p + 24);
  ProgramState state;
  const char* name = reinterpret_cast<const char*>(p + 28);
  state.programName.assign(name, std::find(name, name + kNameBytes, '\0'));
  const size_t rest = size - kHeaderBytes;
  if (opaque) {
    if (rest < 4 || Big32(p + kHeaderBytes) != rest - 4) {
      error = "damaged program state file (chunk size does not match the file)";
      return false;
    }
    state.chunk.assign(p + kHeaderBytes + 4, p + size);
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

void PutProgram(std::vector<uint8_t>& out, const PluginIdentity& plugin,
                const ProgramState& program) {
  const bool opaque = !program.chunk.empty();
  const size_t body = opaque ? 4 + program.chunk.size() : 4 * program.values.size();
  PutHead(out, kHeaderBytes - 8 + body, opaque ? "FPCh" : "FxCk", kFileVersion, plugin,
          opaque ? static_cast<size_t>(plugin.numParams) : program.values.size());
  char name[kNameBytes] = {};
  std::strncpy(name, program.programName.c_str(), kNameBytes - 1);
  out.insert(out.end(), name, name + kNameBytes);
  if (opaque) {
    PutBig32(out, static_cast<uint32_t>(program.chunk.size()));
    out.insert(out.end(), program.chunk.begin(), program.chunk.end());
  }
  for (const float value : opaque ? std::vector<float>() : program.values) {
    uint32_t raw;
    std::memcpy(&raw, &value, sizeof raw);
    PutBig32(out, raw);
  }
}

} // namespace

std::vector<uint8_t> EncodeStateFile(const PluginIdentity& plugin, const std::string& programName,
                                     const std::vector<uint8_t>& chunk,
                                     const std::vector<float>& values) {
  std::vector<uint8_t> out;
  PutProgram(out, plugin, ProgramState{chunk, values, programName});
  return out;
}

bool ParseStateFile(const std::vector<uint8_t>& bytes, const PluginIdentity& plugin,
                    ProgramState& out, std::string& error) {
  return ParseProgramRecord(bytes.data(), bytes.size(), plugin, out, error);
}

std::vector<uint8_t> EncodeBankFile(const PluginIdentity& plugin,
                                    const std::vector<ProgramState>& programs,
                                    int32_t currentProgram) {
  std::vector<uint8_t> records;
  for (const ProgramState& program : programs)
    PutProgram(records, plugin, program);
  std::vector<uint8_t> out;
  PutHead(out, kBankHeaderBytes - 8 + records.size(), "FxBk", kBankVersion, plugin,
          programs.size());
  PutBig32(out, static_cast<uint32_t>(currentProgram));
  out.resize(kBankHeaderBytes, 0);
  out.insert(out.end(), records.begin(), records.end());
  return out;
}

bool ParseBankFile(const std::vector<uint8_t>& bytes, const PluginIdentity& plugin,
                   ProgramBank& out, std::string& error) {
  const uint8_t* p = bytes.data();
  if (!CheckHead(p, bytes.size(), kBankHeaderBytes, plugin, "bank", error)) return false;
  const uint32_t kind = Big32(p + 8);
  const uint32_t count = Big32(p + 24);
  ProgramBank bank;
  bank.currentProgram = Big32(p + 12) >= 2 ? static_cast<int32_t>(Big32(p + 28)) : 0;
  if (kind == Code("FBCh")) {
    const size_t rest = bytes.size() - kBankHeaderBytes;
    if (rest < 4 || Big32(p + kBankHeaderBytes) != rest - 4) {
      error = "damaged bank file (chunk size does not match the file)";
      return false;
    }
    bank.chunk.assign(p + kBankHeaderBytes + 4, p + bytes.size());
  } else if (kind == Code("FxBk")) {
    if (count != static_cast<uint32_t>(plugin.numPrograms)) {
      error = "the bank holds " + std::to_string(count) + " programs, the plug-in has " +
              std::to_string(plugin.numPrograms);
      return false;
    }
    size_t pos = kBankHeaderBytes;
    for (uint32_t i = 0; i < count; ++i) {
      const size_t left = bytes.size() - pos;
      const size_t size = left >= 8 ? static_cast<size_t>(Big32(p + pos + 4)) + 8 : left;
      ProgramState program;
      std::string why;
      if (size > left)
        why = "cut short";
      else if (!ParseProgramRecord(p + pos, size, plugin, program, why))
        ;
      else if (program.values.empty())
        why = "no parameter values";
      if (!why.empty()) {
        error = "damaged bank file: program " + std::to_string(i) + ": " + why;
        return false;
      }
      bank.programs.push_back(std::move(program));
      pos += size;
    }
    if (pos != bytes.size()) {
      error = "damaged bank file (bytes after the last program)";
      return false;
    }
  } else {
    error = "not a bank file (a single program, or another kind of file)";
    return false;
  }
  if (bank.currentProgram < 0 || bank.currentProgram >= std::max(plugin.numPrograms, 1)) {
    error = "damaged bank file (current program " + std::to_string(bank.currentProgram) + ")";
    return false;
  }
  out = std::move(bank);
  return true;
}

} // namespace vsthost
