#include "framework/PresetBank.h"

#include <cstdio>
#include <cstring>

namespace quorvane {

namespace {

constexpr const char* kUserPresetName = "user preset";

std::unique_ptr<Preset> NumberedSlot(int32_t number) {
  auto preset = std::make_unique<Preset>();
  std::snprintf(preset->name, sizeof preset->name, "- %d -", static_cast<int>(number));
  return preset;
}

} // namespace

PresetBank::PresetBank(int32_t count) {
  for (int32_t i = 0; i < count; ++i)
    presets.push_back(NumberedSlot(i + 1));
}

Preset* PresetBank::At(int32_t index) {
  return index >= 0 && index < Count() ? presets[static_cast<std::size_t>(index)].get() : nullptr;
}

const Preset* PresetBank::At(int32_t index) const {
  return index >= 0 && index < Count() ? presets[static_cast<std::size_t>(index)].get() : nullptr;
}

Preset* PresetBank::FirstUninitialised() {
  for (auto& preset : presets)
    if (!preset->initialised) return preset.get();
  return nullptr;
}

Preset* PresetBank::AddIfEmpty() {
  if (!presets.empty()) return nullptr;
  presets.push_back(NumberedSlot(1));
  return presets.front().get();
}

void PresetBank::NextUserPresetName(char* text, int32_t textSize) const {
  if (!text || textSize <= 0) return;
  int count = 0;
  for (const auto& preset : presets)
    if (std::strstr(preset->name, kUserPresetName)) ++count;
  std::snprintf(text, static_cast<std::size_t>(textSize), "%s %d", kUserPresetName, count + 1);
}

void PresetBank::SetName(Preset& preset, const char* name) {
  const std::size_t size = name ? std::strlen(name) : 0;
  const std::size_t kept = size < Preset::kNameSize - 1 ? size : Preset::kNameSize - 1;
  if (kept > 0) std::memcpy(preset.name, name, kept);
  preset.name[kept] = '\0';
}

bool PresetBank::SaveTo(PresetBank& copy) const {
  if (copy.Count() != Count()) return false;
  for (std::size_t i = 0; i < presets.size(); ++i) {
    Preset& saved = *copy.presets[i];
    saved.initialised = presets[i]->initialised;
    std::memcpy(saved.name, presets[i]->name, sizeof saved.name);
    if (!saved.state.Assign(presets[i]->state.Data(), presets[i]->state.Size())) return false;
  }
  copy.current = current;
  return true;
}

void PresetBank::RestoreFrom(PresetBank& copy) {
  for (std::size_t i = 0; i < presets.size() && i < copy.presets.size(); ++i) {
    Preset& saved = *copy.presets[i];
    presets[i]->initialised = saved.initialised;
    std::memcpy(presets[i]->name, saved.name, sizeof saved.name);
    presets[i]->state = std::move(saved.state);
  }
  current = copy.current;
}

} // namespace quorvane
