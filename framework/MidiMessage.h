#pragma once

// Records of MIDI traffic between the host and the effect; plain data, passed by address.

#include <cstdint>

namespace quorvane {

struct MidiMessage {
  int32_t offset = 0; // sample offset within the current block
  uint8_t status = 0;
  uint8_t data1 = 0;
  uint8_t data2 = 0;
};

struct SysExMessage {
  int32_t offset = 0;            // sample offset within the current block
  int32_t size = 0;              // bytes at data
  const uint8_t* data = nullptr; // not owned; valid only during the call that carries it
};

} // namespace quorvane
