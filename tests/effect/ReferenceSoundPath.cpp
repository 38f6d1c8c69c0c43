#include "tests/effect/ReferenceSoundPath.h"

#include <cfloat>
#include <climits>
#include <cmath>

namespace quorvane {
namespace {

constexpr double kSilence = 1e-15;

double Clean(double x) {
  const double magnitude = std::fabs(x);
  return magnitude > kSilence && magnitude <= DBL_MAX ? x : 0.0;
}

} // namespace

void ReferenceNote(ProcessingState& s, bool on) {
  if (on) {
    if (s.envTarget != EnvTarget::None) s.envStage = EnvStage::Attack;
    if (s.heldNotes < INT32_MAX) ++s.heldNotes;
  } else {
    --s.heldNotes;
    if (s.heldNotes <= 0) {
      if (s.envStage != EnvStage::Idle) s.envStage = EnvStage::Release;
      s.heldNotes = 0;
    }
  }
}

float ReferenceEnvelopeValue(ProcessingState& s) {
  switch (s.envStage) {
  case EnvStage::Attack:
    s.envLevel += s.attackStep;
    if (s.envLevel >= 1.0) {
      s.envLevel = 1.0;
      s.envStage = EnvStage::Decay;
    }
    break;
  case EnvStage::Decay:
    s.envLevel -= s.decayStep;
    if (!(s.envLevel > s.sustainLevel)) {
      s.envLevel = s.sustainLevel;
      s.envStage = s.sustainLevel > 0.0f ? EnvStage::Sustain : EnvStage::Idle;
    }
    break;
  case EnvStage::Release:
    s.envLevel -= s.releaseStep;
    if (s.envLevel <= 0.0 || s.releaseStep == 0.0f) {
      s.envLevel = 0.0;
      s.envStage = EnvStage::Idle;
    }
    break;
  default:
    break;
  }
  const float level = static_cast<float>(s.envLevel);
  float value = s.directionUp ? s.modDepth * level : (1.0f - level) * s.modDepth;
  value += s.modBase;
  return value;
}

float ReferenceCompensation(const ProcessingState& s, float lo, float hi, float value) {
  const float g = s.compGain;
  switch (s.compMode) {
  case CompMode::Left:
    return (hi - value) * (g - 1.0f) / (hi - lo) + 1.0f;
  case CompMode::Right:
    return (value - lo) * (g - 1.0f) / (hi - lo) + 1.0f;
  default:
    return std::fabs((value - lo) * 2.0f / (hi - lo) - 1.0f) * (g - 1.0f) + 1.0f;
  }
}

double ReferenceFilterSample(FilterMemory& m, const ProcessingState& s, double rawInput,
                             double compFactor) {
  const double in = Clean(rawInput);
  double w0 = 0.0;
  if (std::fabs(in) > kSilence || std::fabs(m.w1) > kSilence || std::fabs(m.w2) > kSilence)
    w0 = s.gain * in - (s.a2 * m.w2 + s.a1 * m.w1);
  if (!std::isfinite(w0)) {
    w0 = 0.0;
    m.w1 = 0.0;
    m.w2 = 0.0;
  }
  m.w0 = w0;
  const double wet = s.wet;
  const double dry = s.dry;
  double out = 0.0;
  switch (s.filterType) {
  case FilterKind::Lowpass:
    out = Clean((w0 + 2.0 * m.w1 + m.w2) * compFactor * wet + dry * in);
    break;
  case FilterKind::Highpass:
    out = Clean((in - w0 - 2.0 * m.w1 - m.w2) * compFactor * wet + dry * in);
    break;
  case FilterKind::Bandpass:
    out = Clean((w0 - m.w2) * compFactor * wet + dry * in);
    break;
  default:
    break;
  }
  m.w2 = m.w1;
  m.w1 = w0;
  return out;
}

float ReferenceProcessBlock(ProcessingState& s, float lo, float hi, const double* inLeft,
                            const double* inRight, double* outLeft, double* outRight, int frames,
                            float lastValue) {
  float compFactor = 1.0f;
  for (int i = 0; i < frames; ++i) {
    if (s.envTarget != EnvTarget::None) {
      lastValue = ReferenceEnvelopeValue(s);
      if (s.compGain != 1.0f) compFactor = ReferenceCompensation(s, lo, hi, lastValue);
      switch (s.envTarget) {
      case EnvTarget::Frequency:
        s.freq = lastValue;
        RedesignFilter(s);
        break;
      case EnvTarget::Bandwidth:
        s.bandwidth = lastValue;
        RedesignFilter(s);
        break;
      case EnvTarget::Mix:
        s.wet = lastValue;
        s.dry = 1.0f - lastValue;
        break;
      default:
        break;
      }
    }
    const double l = inLeft[i], r = inRight[i];
    outLeft[i] = ReferenceFilterSample(s.left, s, l, compFactor);
    outRight[i] = ReferenceFilterSample(s.right, s, r, compFactor);
  }
  return lastValue;
}

} // namespace quorvane
