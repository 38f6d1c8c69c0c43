#include "effect/dsp/AdsrEnvelope.h"

namespace quorvane {

void AdsrEnvelope::Render(float* levels, int frames) noexcept {
  int i = 0;
  while (i < frames) {
    switch (stage) {
    case kEnvAttack:
      for (; i < frames && stage == kEnvAttack; ++i) {
        level += attackStep;
        if (level >= 1.0) {
          level = 1.0;
          stage = kEnvDecay;
        }
        levels[i] = static_cast<float>(level);
      }
      break;
    case kEnvDecay:
      for (; i < frames && stage == kEnvDecay; ++i) {
        level -= decayStep;
        if (!(level > sustainLevel)) {
          level = sustainLevel;
          stage = sustainLevel > 0.0f ? kEnvSustain : kEnvIdle;
        }
        levels[i] = static_cast<float>(level);
      }
      break;
    case kEnvRelease:
      for (; i < frames && stage == kEnvRelease; ++i) {
        level -= releaseStep;
        if (level <= 0.0 || releaseStep == 0.0f) {
          level = 0.0;
          stage = kEnvIdle;
        }
        levels[i] = static_cast<float>(level);
      }
      break;
    default: {
      const float resting = static_cast<float>(level);
      for (; i < frames; ++i)
        levels[i] = resting;
      break;
    }
    }
  }
}

} // namespace quorvane
