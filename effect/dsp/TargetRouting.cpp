#include "effect/dsp/TargetRouting.h"

#include "effect/ProcessingState.h"

#include <cmath>

namespace quorvane {

void TargetRouting::Values(const float* levels, int frames, float* values) const noexcept {
  if (directionUp) {
    for (int i = 0; i < frames; ++i)
      values[i] = modDepth * levels[i] + modBase;
  } else {
    for (int i = 0; i < frames; ++i)
      values[i] = (1.0f - levels[i]) * modDepth + modBase;
  }
}

void TargetRouting::Factors(const float* values, int frames, float* factors) const noexcept {
  const float g = compGain - 1.0f;
  const float span = highest - lowest;
  switch (compMode) {
  case kCompLeft:
    for (int i = 0; i < frames; ++i)
      factors[i] = (highest - values[i]) * g / span + 1.0f;
    break;
  case kCompRight:
    for (int i = 0; i < frames; ++i)
      factors[i] = (values[i] - lowest) * g / span + 1.0f;
    break;
  default:
    for (int i = 0; i < frames; ++i)
      factors[i] = std::fabs((values[i] - lowest) * 2.0f / span - 1.0f) * g + 1.0f;
    break;
  }
}

} // namespace quorvane
