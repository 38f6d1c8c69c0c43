#include "FloorKernels.h"

#include <cmath>

namespace {

constexpr double kPi = 3.141592653589793;

// With t = tan(w) and k = 1/t, r = 1 / ((q + k) k + 1) = t^2 / den.
void Design(FloorSection& s, double freq, double q, double rate) {
  const double t = std::tan(freq / rate * kPi);
  const double tt = t * t;
  const double inv = 1.0 / (tt + q * t + 1.0);
  s.a1 = 2.0 * (tt - 1.0) * inv;
  s.a2 = (tt - q * t + 1.0) * inv;
  s.gain = q * t * inv;
}

inline float Step(FloorSection& s, int ch, float x) {
  const double in = x;
  const double w0 = s.gain * in - (s.a2 * s.w2[ch] + s.a1 * s.w1[ch]);
  const double out = w0 - s.w2[ch];
  s.w2[ch] = s.w1[ch];
  s.w1[ch] = w0;
  return static_cast<float>(out);
}

} // namespace

void DesignFloorSection(FloorSection& section, double freq, double q, double rate) {
  Design(section, freq, q, rate);
}

void RunPlainSection(FloorSection& section, const float* const in[2], float* const out[2],
                     int frames) {
  FloorSection s = section;
  for (int i = 0; i < frames; ++i) {
    out[0][i] = Step(s, 0, in[0][i]);
    out[1][i] = Step(s, 1, in[1][i]);
  }
  section = s;
}

void RunRedesignedSection(FloorSection& section, FloorSweep& sweep, const float* const in[2],
                          float* const out[2], int frames) {
  FloorSection s = section;
  for (int i = 0; i < frames; ++i) {
    sweep.freq += sweep.step;
    if (sweep.freq > sweep.highest || sweep.freq < sweep.lowest) sweep.step = -sweep.step;
    Design(s, sweep.freq, sweep.q, sweep.rate);
    out[0][i] = Step(s, 0, in[0][i]);
    out[1][i] = Step(s, 1, in[1][i]);
  }
  section = s;
}
