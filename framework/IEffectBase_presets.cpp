#include "framework/IEffectBase.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace quorvane {

namespace {

constexpr const char* kDefaultPresetName = "Default";
constexpr const char* kUserPresetName = "user preset";

void CopyPresetName(Preset& preset, const char* name) {
  const std::size_t size = name ? std::strlen(name) : 0;
  const std::size_t kept = size < Preset::kNameSize - 1 ? size : Preset::kNameSize - 1;
  if (kept > 0) std::memcpy(preset.name, name, kept);
  preset.name[kept] = '\0';
}

} // namespace

Preset* IEffectBase::FirstUninitialisedPreset() {
  for (auto& preset : fields.presets)
    if (!preset->initialised) return preset.get();
  return nullptr;
}

bool IEffectBase::FillPresetWithLiveValues(Preset& preset) {
  // A preset made uninitialised by a bank chunk may still hold old values; never append to them.
  preset.state.Clear();
  return WriteParamState(preset.state);
}

const Preset* IEffectBase::PresetAt(int32_t index) const {
  if (index < 0 || index >= PresetCount()) return nullptr;
  return fields.presets[static_cast<std::size_t>(index)].get();
}

void IEffectBase::FillDefaultPresets(const char* name, int32_t count) {
  PluginLockGuard guard(fields.pluginLock);
  for (int32_t i = 0; i < count; ++i) {
    Preset* preset = FirstUninitialisedPreset();
    if (!preset) continue;
    preset->initialised = true;
    CopyPresetName(*preset, (name && name[0]) ? name : kDefaultPresetName);
    FillPresetWithLiveValues(*preset);
  }
}

void IEffectBase::DefinePresetValues(const char* name, const double* values, int32_t count) {
  PluginLockGuard guard(fields.pluginLock);
  Preset* preset = FirstUninitialisedPreset();
  if (!preset) return;
  preset->initialised = true;
  CopyPresetName(*preset, name);
  preset->state.Clear();
  for (int32_t i = 0; i < ParamCount(); ++i) {
    const IParameter& param = *fields.params[static_cast<std::size_t>(i)];
    double v = (values && i < count) ? values[i] : param.Value();
    const ParamKind kind = param.Kind();
    if (kind == ParamKind::Toggle || kind == ParamKind::Integer || kind == ParamKind::Choice)
      v = std::trunc(v);
    preset->state.AppendDouble(v);
  }
}

void IEffectBase::EnsureOnePreset() {
  PluginLockGuard guard(fields.pluginLock);
  if (!fields.presets.empty()) return;
  auto preset = std::make_unique<Preset>();
  std::snprintf(preset->name, sizeof preset->name, "- %d -", 1);
  fields.presets.push_back(std::move(preset));
  Preset& first = *fields.presets.front();
  first.initialised = true;
  CopyPresetName(first, kDefaultPresetName);
  FillPresetWithLiveValues(first);
}

bool IEffectBase::StoreCurrentPreset(const char* name) {
  PluginLockGuard guard(fields.pluginLock);
  if (fields.currentPreset < 0 || fields.currentPreset >= PresetCount()) return false;
  Preset& preset = *fields.presets[static_cast<std::size_t>(fields.currentPreset)];
  const bool stored = FillPresetWithLiveValues(preset);
  if (name && name[0]) CopyPresetName(preset, name);
  return stored;
}

bool IEffectBase::LoadPreset(int32_t index) {
  PluginLockGuard guard(fields.pluginLock);
  if (index < 0 || index >= PresetCount()) return false;
  Preset& preset = *fields.presets[static_cast<std::size_t>(index)];
  bool loaded;
  if (!preset.initialised) {
    // Selecting a never-used slot keeps the sound and saves it there as a new user preset.
    preset.initialised = true;
    char name[Preset::kNameSize];
    NextUserPresetName(name, sizeof name);
    CopyPresetName(preset, name);
    loaded = FillPresetWithLiveValues(preset);
  } else {
    loaded = ReadParamState(preset.state, 0) >= 0;
  }
  if (loaded) {
    fields.currentPreset = index;
    RefreshEditorControls();
  }
  return loaded;
}

void IEffectBase::NextUserPresetName(char* text, int32_t textSize) const {
  if (!text || textSize <= 0) return;
  int count = 0;
  for (const auto& preset : fields.presets)
    if (std::strstr(preset->name, kUserPresetName)) ++count;
  std::snprintf(text, static_cast<std::size_t>(textSize), "%s %d", kUserPresetName, count + 1);
}

const char* IEffectBase::PresetName(int32_t index) const {
  const Preset* preset = PresetAt(index);
  return preset ? preset->name : "";
}

bool IEffectBase::RenamePreset(int32_t index, const char* name) {
  PluginLockGuard guard(fields.pluginLock);
  if (index < 0 || index >= PresetCount() || !name) return false;
  CopyPresetName(*fields.presets[static_cast<std::size_t>(index)], name);
  return true;
}

} // namespace quorvane
