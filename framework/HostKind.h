#pragma once

// Identifies the host the plug-in runs in, so host-specific adjustments can be made.

#include <cstdint>

namespace quorvane {

// The numbers are fixed: stored kinds and other parts compare with them.
enum class HostKind : int32_t {
  NotAsked = -1, // the host has not been asked yet
  Unknown = 0,   // asked, but not recognised
  Reaper = 1,
  Cubase = 3,
  Nuendo = 4,
  Cakewalk = 5,
  Fruity = 7,
  Samplitude = 8,
  Live = 9,
  Melodyne = 12,
  VstManLib = 13,
  Aulab = 14,
  Forte = 15,
  Chainer = 16,
  Audition = 17,
  Orion = 18,
  SawStudio = 20,
  Logic = 21,
  Digital = 22,
  AudioMulch = 23,
  Presonus = 24,
  Acoustica = 25,
  GarageBand = 26,
  Ardour = 27,
};

} // namespace quorvane
