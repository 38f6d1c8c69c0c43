#include "FxBank.h"

#include <algorithm>
#include <cstring>

namespace vsthost {
namespace {

constexpr int32_t FourCC(const char (&code)[5]) {
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint8_t>(code[0])) << 24 |
                              static_cast<uint32_t>(static_cast<uint8_t>(code[1])) << 16 |
                              static_cast<uint32_t>(static_cast<uint8_t>(code[2])) << 8 |
                              static_cast<uint32_t>(static_cast<uint8_t>(code[3])));
}

constexpr int32_t kChunkMagic = FourCC("CcnK");
constexpr int32_t kBankMagic = FourCC("FxBk");
constexpr int32_t kOpaqueBankMagic = FourCC("FBCh");
constexpr int32_t kProgramMagic = FourCC("FxCk");
constexpr int32_t kBankVersionWithCurrent = 2;
constexpr int32_t kProgramVersion = 1;
constexpr size_t kBankHeaderSize = 156;
constexpr size_t kProgramHeaderSize = 56;
constexpr size_t kNameSize = 28;
// Chunk sizes count the bytes after the magic and the size field.
constexpr size_t kCountedFrom = 8;

void PutInt(std::vector<uint8_t>& out, int32_t value) {
  const auto bits = static_cast<uint32_t>(value);
  for (int shift = 24; shift >= 0; shift -= 8)
    out.push_back(static_cast<uint8_t>(bits >> shift));
}

void PutFloat(std::vector<uint8_t>& out, float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  PutInt(out, static_cast<int32_t>(bits));
}

// Reads big-endian fields; every read past the end fails, and so does every
// later one.
class Reader {
public:
  explicit Reader(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}

  bool Int(int32_t& out) {
    if (bytes_.size() - pos_ < 4) return false;
    uint32_t bits = 0;
    for (int i = 0; i < 4; ++i)
      bits = bits << 8 | bytes_[pos_ + static_cast<size_t>(i)];
    pos_ += 4;
    out = static_cast<int32_t>(bits);
    return true;
  }
  bool Float(float& out) {
    int32_t bits;
    if (!Int(bits)) return false;
    std::memcpy(&out, &bits, sizeof out);
    return true;
  }
  bool Text(size_t size, std::string& out) {
    if (bytes_.size() - pos_ < size) return false;
    const auto start = bytes_.begin() + static_cast<std::ptrdiff_t>(pos_);
    const auto end = start + static_cast<std::ptrdiff_t>(size);
    out.assign(start, std::find(start, end, 0));
    pos_ += size;
    return true;
  }
  bool Skip(size_t size) {
    if (bytes_.size() - pos_ < size) return false;
    pos_ += size;
    return true;
  }
  size_t Left() const { return bytes_.size() - pos_; }

private:
  const std::vector<uint8_t>& bytes_;
  size_t pos_ = 0;
};

bool Refuse(std::string& error, const std::string& why) {
  error = why;
  return false;
}

bool ReadProgram(Reader& in, const FxBank& bank, int index, int32_t& paramCount, FxProgram& out,
                 std::string& error) {
  const std::string where = "program " + std::to_string(index) + ": ";
  int32_t magic, byteSize, fxMagic, version, pluginId, pluginVersion, count;
  if (!in.Int(magic) || !in.Int(byteSize) || !in.Int(fxMagic) || !in.Int(version) ||
      !in.Int(pluginId) || !in.Int(pluginVersion) || !in.Int(count) ||
      !in.Text(kNameSize, out.name)) {
    return Refuse(error, where + "the file ends inside its header");
  }
  if (magic != kChunkMagic || fxMagic != kProgramMagic)
    return Refuse(error, where + "not a program record in the per-parameter form");
  if (version != kProgramVersion)
    return Refuse(error, where + "unknown version " + std::to_string(version));
  if (pluginId != bank.pluginId) return Refuse(error, where + "made for another plug-in");
  if (index == 0) paramCount = count;
  if (count != paramCount || count < 0 || static_cast<size_t>(count) > in.Left() / 4)
    return Refuse(error, where + "a parameter count that does not fit the bank");
  if (static_cast<int64_t>(byteSize) !=
      static_cast<int64_t>(kProgramHeaderSize - kCountedFrom) + 4 * static_cast<int64_t>(count))
    return Refuse(error, where + "its size field disagrees with its parameter count");
  out.values.resize(static_cast<size_t>(count));
  for (float& value : out.values) {
    if (!in.Float(value)) return Refuse(error, where + "the file ends inside its values");
    if (!(value >= 0.0f && value <= 1.0f))
      return Refuse(error, where + "a value outside 0..1 (a damaged file)");
  }
  return true;
}

} // namespace

std::vector<uint8_t> EncodeFxBank(const FxBank& bank) {
  const size_t paramCount = bank.programs.empty() ? 0 : bank.programs.front().values.size();
  const size_t programSize = kProgramHeaderSize + 4 * paramCount;
  std::vector<uint8_t> out;
  out.reserve(kBankHeaderSize + bank.programs.size() * programSize);
  PutInt(out, kChunkMagic);
  PutInt(out,
         static_cast<int32_t>(kBankHeaderSize - kCountedFrom + bank.programs.size() * programSize));
  PutInt(out, kBankMagic);
  PutInt(out, kBankVersionWithCurrent);
  PutInt(out, bank.pluginId);
  PutInt(out, bank.pluginVersion);
  PutInt(out, static_cast<int32_t>(bank.programs.size()));
  PutInt(out, bank.currentProgram);
  out.resize(kBankHeaderSize, 0);
  for (const FxProgram& program : bank.programs) {
    PutInt(out, kChunkMagic);
    PutInt(out, static_cast<int32_t>(programSize - kCountedFrom));
    PutInt(out, kProgramMagic);
    PutInt(out, kProgramVersion);
    PutInt(out, bank.pluginId);
    PutInt(out, bank.pluginVersion);
    PutInt(out, static_cast<int32_t>(paramCount));
    // Always leave a terminator: some readers expect one inside the field.
    char name[kNameSize] = {};
    std::memcpy(name, program.name.data(), std::min(program.name.size(), kNameSize - 1));
    out.insert(out.end(), name, name + kNameSize);
    for (size_t i = 0; i < paramCount; ++i)
      PutFloat(out, i < program.values.size() ? program.values[i] : 0.0f);
  }
  return out;
}

bool DecodeFxBank(const std::vector<uint8_t>& bytes, FxBank& out, std::string& error) {
  Reader in(bytes);
  int32_t magic, byteSize, fxMagic, version, programCount;
  FxBank bank;
  if (!in.Int(magic) || !in.Int(byteSize) || !in.Int(fxMagic) || !in.Int(version) ||
      !in.Int(bank.pluginId) || !in.Int(bank.pluginVersion) || !in.Int(programCount) ||
      !in.Int(bank.currentProgram) || !in.Skip(kBankHeaderSize - 32)) {
    return Refuse(error, "too short for a bank file");
  }
  if (magic != kChunkMagic) return Refuse(error, "not a bank file");
  if (fxMagic == kOpaqueBankMagic)
    return Refuse(error, "the bank holds opaque plug-in state, not parameter values");
  if (fxMagic != kBankMagic) return Refuse(error, "not a bank file");
  if (version != 1 && version != kBankVersionWithCurrent)
    return Refuse(error, "unknown bank version " + std::to_string(version));
  if (static_cast<int64_t>(byteSize) + static_cast<int64_t>(kCountedFrom) !=
      static_cast<int64_t>(bytes.size())) {
    return Refuse(error, "its size field says " + std::to_string(byteSize) + " bytes follow, " +
                             std::to_string(bytes.size() - kCountedFrom) + " do");
  }
  if (programCount < 1 || static_cast<size_t>(programCount) > in.Left() / kProgramHeaderSize)
    return Refuse(error, "a program count that does not fit the file");
  if (version < kBankVersionWithCurrent) bank.currentProgram = 0;
  if (bank.currentProgram < 0 || bank.currentProgram >= programCount)
    return Refuse(error, "a current program outside the bank");
  bank.programs.resize(static_cast<size_t>(programCount));
  int32_t paramCount = 0;
  for (int i = 0; i < programCount; ++i) {
    if (!ReadProgram(in, bank, i, paramCount, bank.programs[static_cast<size_t>(i)], error))
      return false;
  }
  if (in.Left() != 0) return Refuse(error, "bytes after the last program");
  out = std::move(bank);
  return true;
}

} // namespace vsthost
