#pragma once

#include <cstdint>

namespace quorvane {

// One accepted pair of channel counts, e.g. 2 inputs to 2 outputs.
struct ChannelIOSpec {
  int32_t inputs = 0;
  int32_t outputs = 0;
};

} // namespace quorvane
