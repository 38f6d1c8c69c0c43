#pragma once
// The ADSR envelope: its stage, its level and the steps that move it, and the
// loop that renders a block of levels. The effect keeps these values in its
// ProcessingState (which says why the level is a double) and renders from a
// copy; notes open and close it between renders. Audio thread, under the
// plug-in lock; allocation-free.

#include "effect/ProcessingState.h"

#include <cstdint>

namespace quorvane {

class AdsrEnvelope {
public:
  // Advances one sample per level and writes each level, as the float the
  // routing reads, into levels[0 .. frames - 1].
  void Render(float* levels, int frames) noexcept;
  // True while the level does not move: idle or sustaining.
  bool Resting() const noexcept { return stage == EnvStage::Idle || stage == EnvStage::Sustain; }

  EnvStage stage = EnvStage::Idle;
  double level = 0.0; // 0 to 1
  float attackStep = 0.0f;
  float decayStep = 0.0f;
  float sustainLevel = 0.0f;
  float releaseStep = 0.0f;
};

} // namespace quorvane
