#pragma once

// The port layout of the LV2 plug-in, shared by the binding and the .ttl generator: stereo
// audio, a MIDI atom input and output, one control input per parameter in index order, then
// two control outputs showing the effect's readout (where the envelope lies within the range it
// drives, and whether it drives anything), which the UI's envelope strip follows.

#include "framework/GraphReadout.h"
#include "framework/IParameter.h"

#include <cstdint>
#include <string>

namespace quorvane {

enum Lv2Port : uint32_t {
  kLv2AudioInLeft = 0,
  kLv2AudioInRight = 1,
  kLv2AudioOutLeft = 2,
  kLv2AudioOutRight = 3,
  kLv2MidiIn = 4,
  kLv2MidiOut = 5,
  kLv2FirstControl = 6,
};

constexpr int32_t kLv2AudioChannels = 2;

// The control port of parameter index (a valid one).
inline uint32_t Lv2ControlPortIndex(int32_t index) {
  return kLv2FirstControl + static_cast<uint32_t>(index);
}

// The readout's ports, counted from the first port after the controls.
enum Lv2ReadoutPort : uint32_t {
  kLv2ReadoutPosition = 0, // 0 to 1 across the range
  kLv2ReadoutActive = 1,   // 1 while there is something to show
  kLv2ReadoutPortCount = 2,
};
inline uint32_t Lv2ReadoutPortIndex(int32_t paramCount, Lv2ReadoutPort which) {
  return Lv2ControlPortIndex(paramCount) + which;
}
// The position port's value: the reading's place in its range, held to 0 .. 1 (0 for an empty or
// broken range), so that a host never sees a value outside the port's declared range.
float Lv2ReadoutPositionOf(const GraphReadout::Reading& reading);

// The name a port shows: the parameter's, or fallback when it has none.
std::string Lv2PortName(const IParameter& param, const char* fallback);
// The letters and digits of name in lower case, each run of other characters one separator
// ("ENV Attack" gives env_attack with '_'); empty when there are none.
std::string Lv2Slug(const std::string& name, char separator);
// A valid port symbol made from the port's name: its slug with '_', never starting with a digit.
std::string Lv2PortSymbol(const std::string& name);

} // namespace quorvane
