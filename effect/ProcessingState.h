#pragma once
// The effect's own processing state: filter memory and coefficients, the
// control values derived from the parameters, and the envelope. One plain
// record so tests and tools can read it through a const accessor; only the
// effect writes it, always under the plug-in lock.
//
// Precision: audio, filter memory and coefficients are double; the control
// values, steps and routing values are float. The envelope level is the one
// exception: it accumulates in double, because a float running sum drifts
// by many samples over long segments and stops moving altogether once the
// step falls below half a unit in the last place of the level.

#include "effect/FilterDesign.h"

#include <cstdint>

namespace quorvane {

enum class EnvStage : int32_t { Idle = 0, Attack = 1, Decay = 2, Sustain = 3, Release = 4 };

// What the envelope drives.
enum class EnvTarget : int32_t { None = 0, Frequency = 1, Bandwidth = 2, Mix = 3 };

// Where the volume compensation applies its full gain within the target's range: the low
// end, the high end, or both ends.
enum class CompMode : int32_t { Left = 0, Right = 1, Both = 2 };

// One channel of the second-order section: two samples old, one sample old, newest.
struct FilterMemory {
  double w2 = 0.0;
  double w1 = 0.0;
  double w0 = 0.0;
};

struct ProcessingState {
  double designRate = 0.0; // Hz the coefficients and steps were made for; 0 until first set
  FilterMemory left;
  FilterMemory right;
  double gain = 0.0;
  double a1 = 0.0;
  double a2 = 0.0;
  float baseFreq = 0.0f; // Filter Freq in Hz as set by the parameter
  float freq = 0.0f;     // frequency the design uses (parameter or envelope)
  float baseBandwidth = 0.0f;
  float bandwidth = 0.0f;
  float dry = 0.0f;
  float baseMix = 0.0f;
  float wet = 0.0f;
  float depth = 0.0f;
  FilterKind filterType = FilterKind::Lowpass;
  EnvTarget envTarget = EnvTarget::None;
  CompMode compMode = CompMode::Left;
  EnvStage envStage = EnvStage::Idle;
  double envLevel = 0.0; // 0 to 1
  float attackStep = 0.0f;
  float sustainLevel = 0.0f;
  float decayStep = 0.0f;
  float releaseStep = 0.0f;
  float modDepth = 0.0f; // swing of the target value, in the target's units
  float modBase = 0.0f;  // lowest target value
  float compGain = 0.0f; // ENV Vol Compensation as a linear gain
  int32_t heldNotes = 0;
  bool initialised = false; // the first block has been processed
  bool directionUp = false;
  bool resetHeld = false; // the envelope reset switch is down
};

// Designs gain, a1 and a2 from the state's type, frequency, bandwidth and rate.
inline void RedesignFilter(ProcessingState& s) {
  const FilterCoefficients c = DesignFilter(s.filterType, s.freq, s.bandwidth, s.designRate);
  s.gain = c.gain;
  s.a1 = c.a1;
  s.a2 = c.a2;
}

} // namespace quorvane
