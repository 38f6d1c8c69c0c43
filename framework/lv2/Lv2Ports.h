#pragma once

// The port layout of the LV2 plug-in, shared by the binding and the .ttl generator: stereo
// audio, a MIDI atom input and output, then one control input per parameter in index order.

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

// The name a port shows: the parameter's, or fallback when it has none.
std::string Lv2PortName(const IParameter& param, const char* fallback);
// The letters and digits of name in lower case, each run of other characters one separator
// ("ENV Attack" gives env_attack with '_'); empty when there are none.
std::string Lv2Slug(const std::string& name, char separator);
// A valid port symbol made from the port's name: its slug with '_', never starting with a digit.
std::string Lv2PortSymbol(const std::string& name);

} // namespace quorvane
