#include "bench/effect/ProcessFloor.h"

#include "effect/FilterDesign.h"

#include <cfloat>
#include <cmath>

namespace quorvane {

namespace {

inline double Clean(double x) {
  const double magnitude = std::fabs(x);
  return magnitude >= DBL_MIN && magnitude <= DBL_MAX ? x : 0.0;
}

} // namespace

ProcessFloor::ProcessFloor(const FloorSetup& newSetup) : setup(newSetup) {}

void ProcessFloor::Process(const double* inLeft, const double* inRight, double* outLeft,
                           double* outRight, int32_t frames) {
  switch (setup.target) {
  case 1:
    Run<1>(inLeft, inRight, outLeft, outRight, frames);
    break;
  case 2:
    Run<2>(inLeft, inRight, outLeft, outRight, frames);
    break;
  case 3:
    Run<3>(inLeft, inRight, outLeft, outRight, frames);
    break;
  default:
    Run<0>(inLeft, inRight, outLeft, outRight, frames);
    break;
  }
}

template <int32_t Target>
void ProcessFloor::Run(const double* inLeft, const double* inRight, double* outLeft,
                       double* outRight, int32_t frames) {
  float freq = setup.freq;
  float bandwidth = setup.bandwidth;
  float wet = setup.mix;
  float dry = 1.0f - setup.mix;
  FilterCoefficients c = DesignFilter(setup.filterType, freq, bandwidth, setup.rate);
  float compFactor = 1.0f;
  double leftW1 = memory[0][0], leftW2 = memory[0][1];
  double rightW1 = memory[1][0], rightW2 = memory[1][1];

  for (int32_t i = 0; i < frames; ++i) {
    if (Target != 0) {
      level += setup.attackStep;
      if (level >= 1.0) level = 1.0;
      float e = setup.modDepth * static_cast<float>(level) + setup.modBase;
      if (setup.compGain != 1.0f)
        compFactor =
            (e - setup.graphMin) * (setup.compGain - 1.0f) / (setup.graphMax - setup.graphMin) +
            1.0f;
      if (Target == 1) {
        freq = e;
        c = DesignFilter(setup.filterType, freq, bandwidth, setup.rate);
      } else if (Target == 2) {
        bandwidth = e;
        c = DesignFilter(setup.filterType, freq, bandwidth, setup.rate);
      } else {
        wet = e;
        dry = 1.0f - e;
      }
    }
    const double mixWet = wet, mixDry = dry, factor = compFactor;
    // Both channels in line, memory in locals.
    auto section = [&](double raw, double& w1, double& w2) {
      const double in = Clean(raw);
      double w0 = 0.0;
      if (std::fabs(in) > 1e-15 || std::fabs(w1) > 1e-15 || std::fabs(w2) > 1e-15)
        w0 = c.gain * in - (c.a2 * w2 + c.a1 * w1);
      if (!std::isfinite(w0)) w0 = w1 = w2 = 0.0;
      const double out = Clean((w0 - w2) * factor * mixWet + mixDry * in);
      w2 = w1;
      w1 = w0;
      return out;
    };
    outLeft[i] = section(inLeft[i], leftW1, leftW2);
    outRight[i] = section(inRight[i], rightW1, rightW2);
  }
  memory[0][0] = leftW1;
  memory[0][1] = leftW2;
  memory[1][0] = rightW1;
  memory[1][1] = rightW2;
}

} // namespace quorvane
