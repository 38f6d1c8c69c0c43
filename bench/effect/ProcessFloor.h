#pragma once
// The floor of the effect's processing cost: the same per-sample arithmetic
// as the effect (envelope, routing, coefficient design, two filter sections,
// mix) on local variables, with no object, framework or dispatch around it.

#include "effect/FilterDesign.h"

#include <cstdint>

namespace quorvane {

struct FloorSetup {
  int32_t target = 0; // 0 none, 1 frequency, 2 bandwidth, 3 mix
  FilterKind filterType = FilterKind::Bandpass;
  double rate = 48000.0;
  float freq = 2000.0f;
  float bandwidth = 0.2f;
  float mix = 1.0f;
  float attackStep = 1e-6f; // per sample; the envelope rises for the whole run
  float modDepth = 0.0f;
  float modBase = 0.0f;
  float compGain = 1.0f;
  float graphMin = 0.0f;
  float graphMax = 1.0f;
};

class ProcessFloor {
public:
  explicit ProcessFloor(const FloorSetup& setup);
  void Process(const double* inLeft, const double* inRight, double* outLeft, double* outRight,
               int32_t frames);

private:
  template <int32_t Target>
  void Run(const double* inLeft, const double* inRight, double* outLeft, double* outRight,
           int32_t frames);

  FloorSetup setup;
  double level = 0.0;
  double memory[2][2] = {}; // per channel: w1, w2
};

} // namespace quorvane
