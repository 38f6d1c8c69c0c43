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

#include "FilterDesign.h"

#include <cstdint>

enum EnvStage : int32_t {
  kEnvIdle = 0,
  kEnvAttack = 1,
  kEnvDecay = 2,
  kEnvSustain = 3,
  kEnvRelease = 4,
};

enum EnvTarget : int32_t {
  kTargetNone = 0,
  kTargetFrequency = 1,
  kTargetBandwidth = 2,
  kTargetMix = 3,
};

enum CompMode : int32_t {
  kCompLeft = 0,
  kCompRight = 1,
  kCompBoth = 2,
};

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
  int32_t filterType = 0;
  int32_t envTarget = kTargetNone;
  int32_t compMode = kCompLeft;
  int32_t envStage = kEnvIdle;
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
