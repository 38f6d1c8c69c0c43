#include "effect/dsp/AdsrEnvelope.h"

namespace quorvane {

// Each segment runs as its own loop on local copies: the level's running sum
// is the one dependency from sample to sample.
void AdsrEnvelope::Render(float* levels, int frames) noexcept {
  double l = level;
  int32_t s = stage;
  int i = 0;
  while (i < frames) {
    if (s == kEnvAttack) {
      const double step = attackStep;
      for (; i < frames; ++i) {
        l += step;
        if (l >= 1.0) {
          l = 1.0;
          s = kEnvDecay;
          levels[i++] = 1.0f;
          break;
        }
        levels[i] = static_cast<float>(l);
      }
    } else if (s == kEnvDecay) {
      const double step = decayStep, sustain = sustainLevel;
      for (; i < frames; ++i) {
        l -= step;
        if (!(l > sustain)) {
          l = sustain;
          s = sustainLevel > 0.0f ? kEnvSustain : kEnvIdle;
          levels[i++] = static_cast<float>(l);
          break;
        }
        levels[i] = static_cast<float>(l);
      }
    } else if (s == kEnvRelease) {
      const double step = releaseStep;
      for (; i < frames; ++i) {
        l -= step;
        if (l <= 0.0 || releaseStep == 0.0f) {
          l = 0.0;
          s = kEnvIdle;
          levels[i++] = 0.0f;
          break;
        }
        levels[i] = static_cast<float>(l);
      }
    } else {
      const float resting = static_cast<float>(l);
      for (; i < frames; ++i)
        levels[i] = resting;
    }
  }
  level = l;
  stage = s;
}

} // namespace quorvane
