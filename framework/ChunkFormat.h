#pragma once

// The byte layout of the state chunks hosts store: an 8-byte header (magic, version), then for a
// program the parameter values, for a bank one record per preset (name as int32 length + bytes,
// an initialised byte, the preset's values if initialised). Little-endian throughout. Pure
// functions over a StateBuffer; the plug-in base calls them under the plug-in lock.

#include "framework/Preset.h"
#include "framework/StateBuffer.h"

#include <cstdint>

namespace quorvane {

class ChunkFormat {
public:
  static constexpr int32_t kMagic = 0x70666674; // bytes 74 66 66 70 on disk
  static constexpr int32_t kVersion = 0x00010000;

  // Empties buffer and writes the header.
  static bool Start(StateBuffer& buffer);
  // Where the body begins: after the header when buffer starts with the magic, else 0 (a bare
  // body from an older form), -1 when the magic is there but the version is cut off. version
  // gets the header's version, 0 without one.
  static int32_t ReadHeader(const StateBuffer& buffer, int32_t* version);

  // One bank record: name, initialised byte and, if initialised, the preset's values.
  static bool WritePreset(StateBuffer& buffer, const Preset& preset);
  // A bank record's name and initialised byte into preset (a broken name leaves the name as it
  // was; an uninitialised preset loses its values). Answers where the values begin, or -1.
  static int32_t ReadPresetHeader(const StateBuffer& buffer, int32_t pos, Preset& preset);
};

} // namespace quorvane
