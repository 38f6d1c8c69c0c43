#include "effect/dsp/AdsrEnvelope.h"

namespace quorvane {

// Each segment runs as its own loop on local copies: the level's running sum
// is the one dependency from sample to sample.
void AdsrEnvelope::Render(float* levels, int frames) noexcept {
  double l = level;
  EnvStage s = stage;
  int i = 0;
  while (i < frames) {
    if (s == EnvStage::Attack) {
      const double step = attackStep;
      for (; i < frames; ++i) {
        l += step;
        if (l >= 1.0) {
          l = 1.0;
          s = EnvStage::Decay;
          levels[i++] = 1.0f;
          break;
        }
        levels[i] = static_cast<float>(l);
      }
    } else if (s == EnvStage::Decay) {
      const double step = decayStep, sustain = sustainLevel;
      for (; i < frames; ++i) {
        l -= step;
        if (!(l > sustain)) {
          l = sustain;
          s = sustainLevel > 0.0f ? EnvStage::Sustain : EnvStage::Idle;
          levels[i++] = static_cast<float>(l);
          break;
        }
        levels[i] = static_cast<float>(l);
      }
    } else if (s == EnvStage::Release) {
      const double step = releaseStep;
      for (; i < frames; ++i) {
        l -= step;
        if (l <= 0.0 || releaseStep == 0.0f) {
          l = 0.0;
          s = EnvStage::Idle;
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
