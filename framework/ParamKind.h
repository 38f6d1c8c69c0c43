#pragma once

#include <cstdint>

namespace quorvane {

// What kind of value a parameter holds; decides rounding and how hosts and dialogs present it.
enum class ParamKind : int32_t {
  Unset = 0,   // constructed, not yet defined
  Toggle = 1,  // on/off, 0 or 1
  Integer = 2, // whole numbers, step 1
  Choice = 3,  // one of N choices, 0 .. N-1
  Real = 4,    // real number with a free step
};

} // namespace quorvane
