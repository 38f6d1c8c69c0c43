// Parameter changes on the envelope side, the routing of the envelope to its
// target, and the effect's reactions to MIDI, rate changes and activation.

#include "effect/VSTCLASS.h"

#include "effect/DebugTrace.h"
#include "effect/FilterDesign.h"

#include <cmath>
#include <cstdint>

namespace quorvane {

namespace {

constexpr float kPercent = 0.01f;
constexpr double kShortestAttackMs = 0.001;
constexpr double kShortestDecayMs = 0.0001;
constexpr double kDecibelToExponent = 0.11512925464970228; // ln(10) / 20

constexpr float kFreqSwing = 19980.0f;
constexpr float kLowestFreq = 20.0f;
constexpr float kHighestFreq = 20000.0f;
constexpr float kBandwidthSwing = 0.99f;
constexpr float kLowestBandwidth = 0.01f;

double AtLeast(double x, double lowest) {
  return x > lowest ? x : lowest;
}
float Smaller(float a, float b) {
  return a < b ? a : b;
}

// Half away from zero. The value is first held to the parameter's range, so
// that a stray value (NaN, or below the range) never reaches the integer
// conversion or the design.
int32_t RoundedValue(const IParameter& param) {
  const double value = param.ClampToRange(param.Value());
  return static_cast<int32_t>(value >= 0.0 ? value + 0.5 : value - 0.5);
}

} // namespace

void VSTCLASS::OnParamChange(int32_t index) {
  PluginLockGuard guard(GetPluginLock());
  if (!IsValidParam(index)) return;
  ApplyParamChange(index);
  DebugTrace("OnParamChange", static_cast<int32_t>(state.envStage), state.attackStep,
             state.decayStep, state.sustainLevel, state.releaseStep);
}

void VSTCLASS::ApplyParamChange(int32_t index) {
  const int32_t v = RoundedValue(*Param(index));
  const float p = static_cast<float>(v) * kPercent;
  if (index <= kParamFilterMix)
    ApplyFilterParam(index, v, p);
  else
    ApplyEnvelopeParam(index, v, p);
  if (state.initialised) UpdateRouting();
}

double VSTCLASS::StepRate() const {
  return IsUsableRate(state.designRate) ? state.designRate : kFallbackDesignRate;
}

void VSTCLASS::ApplyEnvelopeParam(int32_t index, int32_t v, float p) {
  switch (index) {
  case kParamEnvTarget:
    state.envTarget = static_cast<EnvTarget>(v);
    graph.PublishEnabled(state.envTarget != EnvTarget::None);
    state.freq = state.baseFreq;
    state.bandwidth = state.baseBandwidth;
    UpdateCoefficients();
    state.wet = state.baseMix;
    state.dry = 1.0f - state.baseMix;
    state.envStage = EnvStage::Idle;
    state.envLevel = 0.0;
    break;
  case kParamEnvAttack:
    state.attackStep =
        static_cast<float>(1.0 / AtLeast(v, kShortestAttackMs) / StepRate() * 1000.0);
    break;
  case kParamEnvDecay: {
    // The level span is formed in single precision, the divisions in double.
    const float span = (1.0f - state.sustainLevel) * 1000.0f;
    state.decayStep =
        static_cast<float>(static_cast<double>(span) / StepRate() / AtLeast(v, kShortestDecayMs));
    break;
  }
  case kParamEnvSustain:
    // Both steps depend on the sustain level; each gets its own full change.
    state.sustainLevel = p;
    OnParamChange(kParamEnvDecay);
    OnParamChange(kParamEnvRelease);
    break;
  case kParamEnvRelease: {
    const float span = state.sustainLevel * 1000.0f;
    state.releaseStep =
        static_cast<float>(static_cast<double>(span) / StepRate() / AtLeast(v, kShortestDecayMs));
    break;
  }
  case kParamEnvDepth:
    state.depth = p;
    break;
  case kParamEnvDirection:
    state.directionUp = v != 1;
    break;
  case kParamEnvVolCompensation:
    state.compGain = static_cast<float>(std::exp(v * kDecibelToExponent));
    break;
  case kParamEnvCompensation:
    state.compMode = static_cast<CompMode>(v);
    break;
  case kParamEnvReset:
    // Acts on the press only; the switch must be released before it acts again.
    if (v == 1 && !state.resetHeld) {
      state.envLevel = 0.0;
      state.envStage = EnvStage::Idle;
      state.heldNotes = 0;
      state.resetHeld = true;
    } else if (v == 0 && state.resetHeld) {
      state.resetHeld = false;
    }
    break;
  default:
    break;
  }
}

void VSTCLASS::UpdateRouting() {
  // The base value is pulled down where the swing would pass the top of the
  // range, so the target always stays inside graphMin .. graphMax.
  switch (state.envTarget) {
  case EnvTarget::Frequency:
    state.modDepth = state.depth * kFreqSwing;
    state.modBase = Smaller(state.baseFreq, kHighestFreq - state.modDepth);
    graph.PublishRange(kLowestFreq, kHighestFreq);
    break;
  case EnvTarget::Bandwidth:
    state.modDepth = state.depth * kBandwidthSwing;
    state.modBase = Smaller(state.baseBandwidth, 1.0f - state.modDepth);
    graph.PublishRange(kLowestBandwidth, 1.0f);
    break;
  case EnvTarget::Mix:
    state.modDepth = state.depth;
    state.modBase = Smaller(state.baseMix, 1.0f - state.modDepth);
    graph.PublishRange(0.0f, 1.0f);
    break;
  default:
    break;
  }
}

bool VSTCLASS::HandleMidi(const MidiMessage& message) {
  const int32_t status = message.status;
  const int32_t kind = status >= 0x80 && status <= 0xEF ? status >> 4 : 0;
  const int32_t velocity = status >= 0x80 && status <= 0x9F ? message.data2 : 0;
  if (kind == 0x8 || kind == 0x9) gate.Add(state, kind == 0x9 && velocity > 0, message.offset);
  return SendMidiToHost(message);
}

void VSTCLASS::Reset() {
  PluginLockGuard guard(GetPluginLock());
  const double rate = SampleRate();
  if (rate != state.designRate) {
    state.designRate = rate;
    UpdateCoefficients();
    OnParamChange(kParamEnvAttack);
    OnParamChange(kParamEnvDecay);
    OnParamChange(kParamEnvRelease);
  }
  DebugTrace("VSTCLASS::Reset");
}

void VSTCLASS::OnActivate(bool) {
  PluginLockGuard guard(GetPluginLock());
  // The level is kept, so the target holds the value it had.
  state.envStage = EnvStage::Idle;
  state.heldNotes = 0;
  gate.Clear();
  DebugTrace("OnActivate");
}

} // namespace quorvane
