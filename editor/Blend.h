#pragma once
// How a control's bitmaps and fills are put on the editor surface: one of four
// modes and an opacity. Plain record, copied by value into every control.

#include "raster/BlendMode.h"

#include <cstdint>

namespace quorvane {

struct Blend {
  static constexpr std::int32_t kThroughAlpha = 0; // copy through the source alpha
  static constexpr std::int32_t kPlainCopy = 1;    // ignores the source alpha
  static constexpr std::int32_t kAdd = 2;
  static constexpr std::int32_t kDodge = 3;

  std::int32_t mode = kThroughAlpha;
  float weight = 1.0f;

  // The raster mode word of this blend. Unknown modes draw like kThroughAlpha.
  BlendMode ModeWord() const {
    switch (mode) {
    case kPlainCopy:
      return kBlendCopy;
    case kAdd:
      return kBlendSourceAlpha | kBlendAdd;
    case kDodge:
      return kBlendSourceAlpha | kBlendDodge;
    default:
      return kBlendSourceAlpha | kBlendCopy;
    }
  }
};

} // namespace quorvane
