#include "framework/IEffectBase.h"

#include <cstring>
#include <limits>

namespace quorvane {

// What a refused chunk must not change: the live values and every preset.
struct IEffectBase::Snapshot {
  struct SavedPreset {
    bool initialised = false;
    char name[Preset::kNameSize] = {};
    StateBuffer state;
  };
  std::vector<double> values;
  std::vector<SavedPreset> presets;
  int32_t currentPreset = 0;
};

bool IEffectBase::StartChunk(StateBuffer& buffer) {
  buffer.Clear();
  return buffer.AppendInt32(kChunkMagic) && buffer.AppendInt32(kChunkVersion);
}

bool IEffectBase::WriteParamState(StateBuffer& buffer) {
  PluginLockGuard guard(fields.pluginLock);
  for (const auto& param : fields.params)
    if (!buffer.AppendDouble(param->Value())) return false;
  return true;
}

int32_t IEffectBase::ReadParamState(const StateBuffer& buffer, int32_t pos) {
  PluginLockGuard guard(fields.pluginLock);
  for (std::size_t i = 0; i < fields.params.size() && pos >= 0; ++i) {
    double v = 0.0;
    pos = buffer.ReadDouble(&v, pos);
    if (pos < 0) v = 0.0;
    fields.params[i]->SetClampedValue(v);
  }
  AnnounceAllParams();
  return pos;
}

bool IEffectBase::WritePresetBank(StateBuffer& buffer) {
  PluginLockGuard guard(fields.pluginLock);
  for (const auto& preset : fields.presets) {
    if (!buffer.AppendString(preset->name)) return false;
    if (!buffer.AppendByte(preset->initialised ? 1 : 0)) return false;
    if (preset->initialised && !buffer.AppendBytes(preset->state.Data(), preset->state.Size()))
      return false;
  }
  return true;
}

int32_t IEffectBase::ReadPresetBank(const StateBuffer& buffer, int32_t pos) {
  PluginLockGuard guard(fields.pluginLock);
  for (std::size_t i = 0; i < fields.presets.size() && pos >= 0; ++i) {
    Preset& preset = *fields.presets[i];
    int64_t end = -1;
    int32_t nameLength = 0;
    if (buffer.ReadInt32(&nameLength, pos) >= 0) {
      end = static_cast<int64_t>(pos) + 4 + nameLength;
      // A negative length or a name past the end is a broken record: reading stops there and
      // the preset keeps its name.
      if (nameLength < 0 || end > buffer.Size()) {
        end = -1;
      } else {
        const int32_t kept =
            nameLength < Preset::kNameSize - 1 ? nameLength : Preset::kNameSize - 1;
        if (kept > 0)
          std::memcpy(preset.name, buffer.Data() + pos + 4, static_cast<std::size_t>(kept));
        preset.name[kept] = '\0';
      }
    }
    uint8_t flag = 0;
    if (end >= 0 && buffer.ReadByte(&flag, static_cast<int32_t>(end)) >= 0) {
      preset.initialised = flag != 0;
      if (!preset.initialised) preset.state.Clear();
      pos = static_cast<int32_t>(end) + 1;
    } else {
      pos = -1;
    }
    if (preset.initialised) {
      pos = ReadParamState(buffer, pos);
      if (pos >= 0) FillPresetWithLiveValues(preset);
    }
  }
  LoadPreset(fields.currentPreset);
  return pos;
}

int32_t IEffectBase::GetChunk(bool bank, const void** data) {
  if (!data) return 0;
  PluginLockGuard guard(fields.pluginLock);
  StateBuffer& target = bank ? fields.bankChunk : fields.presetChunk;
  bool written = StartChunk(target);
  if (bank) {
    // The current preset first takes the live values, so the bank holds what is heard.
    if (written && PresetCount() > 0) written = StoreCurrentPreset(nullptr);
    written = written && WritePresetBank(target);
  } else {
    written = written && WriteState(target);
  }
  if (!written || target.Empty()) return 0;
  *data = target.Data();
  return target.Size();
}

int32_t IEffectBase::ReadChunk(bool bank, const StateBuffer& buffer) {
  int32_t pos = 0;
  int32_t chunkVersion = 0;
  int32_t magic = 0;
  if (buffer.ReadInt32(&magic, 0) >= 0 && magic == kChunkMagic)
    pos = buffer.ReadInt32(&chunkVersion, 4);
  if (bank && chunkVersion >= kChunkVersion) return ReadPresetBank(buffer, pos);
  // A program chunk, or a bank in an older form: bare values, with or without the header.
  pos = ReadState(buffer, pos);
  StoreCurrentPreset(nullptr);
  return pos;
}

int32_t IEffectBase::SetChunk(bool bank, const void* data, int64_t size) {
  if (!data || size <= 0 || size > std::numeric_limits<int32_t>::max()) return 0;
  PluginLockGuard guard(fields.pluginLock);
  Snapshot snapshot;
  if (!TakeSnapshot(snapshot)) return 0;
  // Hosts may hand back the very bytes GetChunk answered; Assign copies with overlap in mind.
  StateBuffer& target = bank ? fields.bankChunk : fields.presetChunk;
  if (!target.Assign(data, size)) return 0;
  if (ReadChunk(bank, target) < 0) {
    // A chunk that does not fit is refused as a whole rather than half applied.
    RestoreSnapshot(snapshot);
    return 0;
  }
  RefreshEditorControls();
  return 1;
}

bool IEffectBase::TakeSnapshot(Snapshot& snapshot) {
  snapshot.values.reserve(fields.params.size());
  for (const auto& param : fields.params)
    snapshot.values.push_back(param->Value());
  snapshot.presets.resize(fields.presets.size());
  for (std::size_t i = 0; i < fields.presets.size(); ++i) {
    Snapshot::SavedPreset& saved = snapshot.presets[i];
    saved.initialised = fields.presets[i]->initialised;
    std::memcpy(saved.name, fields.presets[i]->name, sizeof saved.name);
    if (!saved.state.Assign(fields.presets[i]->state.Data(), fields.presets[i]->state.Size()))
      return false;
  }
  snapshot.currentPreset = fields.currentPreset;
  return true;
}

void IEffectBase::RestoreSnapshot(Snapshot& snapshot) {
  for (std::size_t i = 0; i < fields.presets.size(); ++i) {
    Snapshot::SavedPreset& saved = snapshot.presets[i];
    fields.presets[i]->initialised = saved.initialised;
    std::memcpy(fields.presets[i]->name, saved.name, sizeof saved.name);
    fields.presets[i]->state = std::move(saved.state);
  }
  fields.currentPreset = snapshot.currentPreset;
  for (std::size_t i = 0; i < fields.params.size(); ++i)
    fields.params[i]->RestoreValue(snapshot.values[i]);
  AnnounceAllParams();
  RefreshEditorControls();
}

} // namespace quorvane
