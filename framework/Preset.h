#pragma once

#include "framework/StateBuffer.h"

namespace quorvane {

// One program: a name and, once initialised, the value of every parameter (8 bytes each, in
// parameter order, little-endian).
struct Preset {
  static constexpr int kNameSize = 256;

  bool initialised = false;
  char name[kNameSize] = {};
  StateBuffer state;
};

} // namespace quorvane
