// The sound path: per sample, the envelope, its routing to the filter, the
// two filter sections and the dry/wet mix. Audio thread; no allocation, no
// system call, no trace.

#include "effect/VSTCLASS.h"

#include <cfloat>
#include <cmath>

namespace quorvane {

namespace {

// Below this, input and filter memory count as silence and the section's
// output is forced to exact zero, so decaying memory never turns denormal.
constexpr double kSilence = 1e-15;

// Non-finite samples and those below kSilence become exact zero: a broken
// input sample counts as silence, so the filter rings on through it, and
// nothing denormal or infinite leaves the effect -- not even once a host's
// float callback narrows a tiny sample of the dry path.
inline double Clean(double x) {
  const double magnitude = std::fabs(x);
  return magnitude > kSilence && magnitude <= DBL_MAX ? x : 0.0;
}

// One envelope sample: advances the stage and answers the target value.
inline float AdvanceEnvelope(ProcessingState& s) {
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

// Gain of the filtered signal for a target value within lo .. hi.
inline float CompensationFactor(const ProcessingState& s, float lo, float hi, float value) {
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

inline void RouteTargetValue(ProcessingState& s, float value) {
  switch (s.envTarget) {
  case EnvTarget::Frequency:
    s.freq = value;
    RedesignFilter(s);
    break;
  case EnvTarget::Bandwidth:
    s.bandwidth = value;
    RedesignFilter(s);
    break;
  case EnvTarget::Mix:
    s.wet = value;
    s.dry = 1.0f - value;
    break;
  default:
    break;
  }
}

// One sample of one channel; a filter type the effect does not know writes nothing.
inline void FilterSample(FilterMemory& m, const ProcessingState& s, double rawInput,
                         double compFactor, double* output) {
  const double in = Clean(rawInput);
  double w0 = 0.0;
  if (std::fabs(in) > kSilence || std::fabs(m.w1) > kSilence || std::fabs(m.w2) > kSilence)
    w0 = s.gain * in - (s.a2 * m.w2 + s.a1 * m.w1);
  if (!std::isfinite(w0)) {
    // An overflow must not poison the section for good.
    w0 = 0.0;
    m.w1 = 0.0;
    m.w2 = 0.0;
  }
  m.w0 = w0;

  const double wet = s.wet;
  const double dry = s.dry;
  switch (s.filterType) {
  case FilterKind::Lowpass:
    *output = Clean((w0 + 2.0 * m.w1 + m.w2) * compFactor * wet + dry * in);
    break;
  case FilterKind::Highpass:
    *output = Clean((in - w0 - 2.0 * m.w1 - m.w2) * compFactor * wet + dry * in);
    break;
  case FilterKind::Bandpass:
    *output = Clean((w0 - m.w2) * compFactor * wet + dry * in);
    break;
  default:
    break;
  }
  m.w2 = m.w1;
  m.w1 = w0;
}

} // namespace

void VSTCLASS::InitialiseOnFirstBlock() {
  state.initialised = true;
  state.designRate = SampleRate();
  // The steps made before a rate was known are remade for this one: the
  // attack as well, so its length is right even when no Reset preceded the
  // first block. No trace here: this is the audio thread.
  ApplyParamChange(kParamEnvAttack);
  ApplyParamChange(kParamEnvDecay);
  ApplyParamChange(kParamEnvRelease);
  UpdateCoefficients();
}

void VSTCLASS::ProcessBlock(double** inputs, double** outputs, int32_t frames) {
  if (!state.initialised) InitialiseOnFirstBlock();
  if (inputs == nullptr || outputs == nullptr || frames <= 0) return;
  const double* inLeft = inputs[0];
  const double* inRight = inputs[1];
  double* outLeft = outputs[0];
  double* outRight = outputs[1];
  if (!inLeft || !inRight || !outLeft || !outRight) return;

  // Parameter changes and MIDI arrive between blocks, under the same lock,
  // so within a block only the envelope and what it routes change. The block
  // runs on a local copy, which the compiler can keep out of reach of the
  // output stores, and is written back at the end.
  ProcessingState s = state;
  const GraphReadout::Reading range = graph.Read();
  const float lo = range.graphMin;
  const float hi = range.graphMax;
  float compFactor = 1.0f;
  float targetValue = 0.0f;
  bool envelopeRan = false;
  for (int32_t i = 0; i < frames; ++i) {
    if (s.envTarget != EnvTarget::None) {
      targetValue = AdvanceEnvelope(s);
      if (s.compGain != 1.0f) compFactor = CompensationFactor(s, lo, hi, targetValue);
      RouteTargetValue(s, targetValue);
      envelopeRan = true;
    }
    // Inputs and outputs may be the same buffers, even crosswise: each input
    // sample is read just before its own output is written.
    FilterSample(s.left, s, inLeft[i], compFactor, &outLeft[i]);
    FilterSample(s.right, s, inRight[i], compFactor, &outRight[i]);
  }
  state = s;
  // With no target the marker keeps its last value; it is not drawn then.
  if (envelopeRan) graph.PublishValue(targetValue);
}

} // namespace quorvane
