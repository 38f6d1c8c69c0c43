// The sound path, a block at a time: the envelope for a stretch of the block,
// its routed values, the section's coefficients, the filter and the mix. The
// block is split at the frames where notes open or close the envelope. Audio
// thread; no allocation, no system call, no trace.

#include "effect/VSTCLASS.h"

#include "effect/dsp/AdsrEnvelope.h"
#include "effect/dsp/BatchDesign.h"
#include "effect/dsp/StereoSection.h"
#include "effect/dsp/TargetRouting.h"

#include <algorithm>

namespace quorvane {

namespace {

// Frames designed and filtered per pass of the envelope: enough to amortise
// a pass, small enough for the per-frame arrays to stay on the stack.
constexpr int32_t kStretch = 256;

AdsrEnvelope EnvelopeOf(const ProcessingState& s) {
  AdsrEnvelope envelope;
  envelope.stage = s.envStage;
  envelope.level = s.envLevel;
  envelope.attackStep = s.attackStep;
  envelope.decayStep = s.decayStep;
  envelope.sustainLevel = s.sustainLevel;
  envelope.releaseStep = s.releaseStep;
  return envelope;
}

TargetRouting RoutingOf(const ProcessingState& s, const GraphReadout& graph) {
  TargetRouting routing;
  routing.directionUp = s.directionUp;
  routing.modDepth = s.modDepth;
  routing.modBase = s.modBase;
  routing.compGain = s.compGain;
  routing.compMode = s.compMode;
  const GraphReadout::Reading range = graph.Read();
  routing.lowest = range.graphMin;
  routing.highest = range.graphMax;
  return routing;
}

FixedDrive FixedDriveOf(const ProcessingState& s, float factor) {
  FixedDrive drive;
  drive.coefficients = FilterCoefficients{s.gain, s.a1, s.a2};
  drive.factor = factor;
  drive.wet = s.wet;
  drive.dry = s.dry;
  return drive;
}

// The per-frame arrays of one stretch.
struct StretchArrays {
  float levels[kStretch];
  float values[kStretch];
  float factors[kStretch];
  float drys[kStretch];
  double gain[kStretch];
  double a1[kStretch];
  double a2[kStretch];
};

} // namespace

// Routes one value that holds for a whole stretch: a redesign only when the
// value differs from the one the coefficients were made for.
void VSTCLASS::RouteHeldValue(float value) {
  switch (state.envTarget) {
  case EnvTarget::Frequency:
    if (value != state.freq) {
      state.freq = value;
      RedesignFilter(state);
    }
    break;
  case EnvTarget::Bandwidth:
    if (value != state.bandwidth) {
      state.bandwidth = value;
      RedesignFilter(state);
    }
    break;
  case EnvTarget::Mix:
    state.wet = value;
    state.dry = 1.0f - value;
    break;
  default:
    break;
  }
}

template <class Sample, class... Mode>
int32_t VSTCLASS::RenderWithTarget(const Sample* const in[2], Sample* const out[2], int32_t frames,
                                   Mode... mode) {
  StereoSection section(state.left, state.right);
  const TargetRouting routing = RoutingOf(state, graph);
  AdsrEnvelope envelope = EnvelopeOf(state);

  if (envelope.Resting()) {
    float level = static_cast<float>(envelope.level), value, factor = 1.0f;
    routing.Values(&level, 1, &value);
    if (routing.Compensates()) routing.Factors(&value, 1, &factor);
    RouteHeldValue(value);
    section.Run(state.filterType, FixedDriveOf(state, factor), in, out, frames, mode...);
    lastRoutedValue = value;
    return frames;
  }

  frames = std::min(frames, kStretch);
  StretchArrays a;
  envelope.Render(a.levels, frames);
  state.envStage = envelope.stage;
  state.envLevel = envelope.level;
  SectionDrive drive{FixedDriveOf(state, 1.0f)};
  const bool compensates = routing.Compensates();
  if (compensates) drive.factors = a.factors;
  float last;
  switch (state.envTarget) {
  case EnvTarget::Frequency:
  case EnvTarget::Bandwidth: {
    routing.Values(a.levels, frames, a.values);
    if (compensates) routing.Factors(a.values, frames, a.factors);
    last = a.values[frames - 1];
    const CoefficientArrays coefficients{a.gain, a.a1, a.a2};
    if (state.envTarget == EnvTarget::Frequency) {
      DesignFrequencySweep(state.filterType, a.values, state.bandwidth, state.designRate, frames,
                           coefficients);
      state.freq = last;
    } else {
      DesignBandwidthSweep(state.filterType, state.freq, a.values, state.designRate, frames,
                           coefficients);
      state.bandwidth = last;
    }
    drive.gain = a.gain;
    drive.a1 = a.a1;
    drive.a2 = a.a2;
    state.gain = a.gain[frames - 1];
    state.a1 = a.a1[frames - 1];
    state.a2 = a.a2[frames - 1];
    break;
  }
  default: // the mix
    routing.Mix(a.levels, frames, a.values, a.drys, compensates ? a.factors : nullptr);
    last = a.values[frames - 1];
    drive.wets = a.values;
    drive.drys = a.drys;
    state.wet = last;
    state.dry = 1.0f - last;
    break;
  }
  section.Run(state.filterType, drive, in, out, frames, mode...);
  lastRoutedValue = last;
  return frames;
}

template <class Sample, class... Mode>
void VSTCLASS::RenderSpan(const Sample* const in[2], Sample* const out[2], int32_t begin,
                          int32_t end, Mode... mode) {
  for (int32_t at = begin; at < end;) {
    const Sample* stretchIn[2] = {in[0] + at, in[1] + at};
    Sample* stretchOut[2] = {out[0] + at, out[1] + at};
    if (state.envTarget != EnvTarget::None) {
      at += RenderWithTarget(stretchIn, stretchOut, end - at, mode...);
    } else {
      StereoSection(state.left, state.right)
          .Run(state.filterType, FixedDriveOf(state, 1.0f), stretchIn, stretchOut, end - at,
               mode...);
      at = end;
    }
  }
}

template <class Sample, class... Mode>
void VSTCLASS::RenderBlock(const Sample* const in[2], Sample* const out[2], int32_t frames,
                           Mode... mode) {
  const bool targeted = state.envTarget != EnvTarget::None;
  if (gate.Empty()) {
    // The commonest block of all, a fixed filter, goes straight through.
    if (!targeted) {
      StereoSection(state.left, state.right)
          .Run(state.filterType, FixedDriveOf(state, 1.0f), in, out, frames, mode...);
      return;
    }
    RenderSpan(in, out, 0, frames, mode...);
  } else {
    for (int32_t done = 0; done < frames;) {
      gate.ApplyDue(state, done);
      const int32_t end = std::min(gate.NextFrame(), frames);
      RenderSpan(in, out, done, end, mode...);
      done = end;
    }
    gate.ApplyRest(state);
  }
  // With no target the marker keeps its last value; it is not drawn then.
  if (targeted) graph.PublishValue(lastRoutedValue);
}

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
  const double* in[2] = {inputs[0], inputs[1]};
  double* out[2] = {outputs[0], outputs[1]};
  if (!in[0] || !in[1] || !out[0] || !out[1]) return;
  RenderBlock(in, out, frames);
}

bool VSTCLASS::ProcessFloatBlock(float** inputs, float** outputs, int32_t frames, bool adding) {
  const float* in[2] = {inputs[0], inputs[1]};
  float* out[2] = {outputs[0], outputs[1]};
  if (!in[0] || !in[1] || !out[0] || !out[1]) return false;
  if (!state.initialised) InitialiseOnFirstBlock();
  RenderBlock(in, out, frames, adding ? FloatOutput::Add : FloatOutput::Replace);
  return true;
}

} // namespace quorvane
