#pragma once

// The plug-in's programs: a fixed number of named slots, the current one, and the names given to
// slots the user fills. Values go in and out as parameter states; reading and writing them is
// the plug-in base's job. IEffectBase owns one and calls it under the plug-in lock.

#include "framework/Preset.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace quorvane {

class PresetBank {
public:
  // count slots named "- 1 -", "- 2 -", ..., none initialised.
  explicit PresetBank(int32_t count);

  int32_t Count() const { return static_cast<int32_t>(presets.size()); }
  int32_t Current() const { return current; }
  void SetCurrent(int32_t index) { current = index; }
  // Null for a bad index.
  Preset* At(int32_t index);
  const Preset* At(int32_t index) const;
  Preset* FirstUninitialised();
  // With no slot at all, adds one (not yet initialised) and answers it; otherwise null.
  Preset* AddIfEmpty();
  // "user preset N", N one more than the slots whose names contain "user preset".
  void NextUserPresetName(char* text, int32_t textSize) const;

  // Copies name (cut to fit) into the slot; "" for null.
  static void SetName(Preset& preset, const char* name);

  // Copies every slot and the current index into copy, which must have as many slots; false if
  // a copy could not be made (nothing else changes then).
  bool SaveTo(PresetBank& copy) const;
  // Takes every slot and the current index back from a copy SaveTo made.
  void RestoreFrom(PresetBank& copy);

private:
  std::vector<std::unique_ptr<Preset>> presets;
  int32_t current = 0;
};

} // namespace quorvane
