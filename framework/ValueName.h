#pragma once

#include <cstdint>

namespace quorvane {

// A display name for one particular value of a parameter (e.g. 1 -> "Highpass").
struct ValueName {
  static constexpr int kTextSize = 32;

  int32_t key = 0;
  char text[kTextSize] = {};
};

} // namespace quorvane
