#include "framework/ChunkFormat.h"

#include <cstring>

namespace quorvane {

bool ChunkFormat::Start(StateBuffer& buffer) {
  buffer.Clear();
  return buffer.AppendInt32(kMagic) && buffer.AppendInt32(kVersion);
}

int32_t ChunkFormat::ReadHeader(const StateBuffer& buffer, int32_t* version) {
  *version = 0;
  int32_t magic = 0;
  if (buffer.ReadInt32(&magic, 0) < 0 || magic != kMagic) return 0;
  return buffer.ReadInt32(version, 4);
}

bool ChunkFormat::WritePreset(StateBuffer& buffer, const Preset& preset) {
  if (!buffer.AppendString(preset.name)) return false;
  if (!buffer.AppendByte(preset.initialised ? 1 : 0)) return false;
  return !preset.initialised || buffer.AppendBytes(preset.state.Data(), preset.state.Size());
}

int32_t ChunkFormat::ReadPresetHeader(const StateBuffer& buffer, int32_t pos, Preset& preset) {
  if (pos < 0) return -1;
  int64_t end = -1;
  int32_t nameLength = 0;
  if (buffer.ReadInt32(&nameLength, pos) >= 0) {
    end = static_cast<int64_t>(pos) + 4 + nameLength;
    // A negative length or a name past the end is a broken record: reading stops there and
    // the preset keeps its name.
    if (nameLength < 0 || end > buffer.Size()) {
      end = -1;
    } else {
      const int32_t kept = nameLength < Preset::kNameSize - 1 ? nameLength : Preset::kNameSize - 1;
      if (kept > 0)
        std::memcpy(preset.name, buffer.Data() + pos + 4, static_cast<std::size_t>(kept));
      preset.name[kept] = '\0';
    }
  }
  uint8_t flag = 0;
  if (end < 0 || buffer.ReadByte(&flag, static_cast<int32_t>(end)) < 0) return -1;
  preset.initialised = flag != 0;
  if (!preset.initialised) preset.state.Clear();
  return static_cast<int32_t>(end) + 1;
}

} // namespace quorvane
