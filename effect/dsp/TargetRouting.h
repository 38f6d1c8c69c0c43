#pragma once
// The envelope's routing: turns its levels into values of the target it
// drives, and those values into the volume compensation of the filtered
// signal. Single precision throughout, like the control values. Audio
// thread; allocation-free.

#include "effect/ProcessingState.h"

namespace quorvane {

struct TargetRouting {
  // value = modDepth * level (Up) or (1 - level) * modDepth (Down), + modBase.
  void Values(const float* levels, int frames, float* values) const noexcept;
  // The gain of the filtered signal for each value: compGain at the end of
  // the range the mode names (Left: lowest, Right: highest, Both: either),
  // falling linearly to 1 at the other end (Both: in the middle).
  void Factors(const float* values, int frames, float* factors) const noexcept;
  bool Compensates() const noexcept { return compGain != 1.0f; }
  // For the mix target, in one pass: each level's value is the filtered
  // signal's gain (wets), the rest the input's (drys); factors, where given,
  // receive the compensation. The same values as Values and Factors.
  void Mix(const float* levels, int frames, float* wets, float* drys,
           float* factors) const noexcept;

  bool directionUp = true;
  float modDepth = 0.0f; // swing of the value, in the target's units
  float modBase = 0.0f;  // lowest value
  float compGain = 1.0f;
  CompMode compMode = CompMode::Left; // any other value: Both
  float lowest = 0.0f;                // the target's range
  float highest = 1.0f;
};

} // namespace quorvane
