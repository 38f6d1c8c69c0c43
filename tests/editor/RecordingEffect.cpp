#include "tests/editor/RecordingEffect.h"

namespace quorvane::test {

RecordingEffect::RecordingEffect()
    : IEffectBase(kParamCount, "2-2", 1, "Editor Test", "", "Test Vendor", 0x00010000, 0x45645473,
                  0x54657374, 0, 0, true, false) {
  Param(kLevel)->DefineReal("Level", 0.5, 0.0, 1.0, 0.01, "");
  Param(kMode)->DefineChoice("Mode", 0, 3, "");
  Param(kMode)->AddValueName(0, "Lowpass");
  Param(kMode)->AddValueName(1, "Highpass");
  Param(kMode)->AddValueName(2, "Bandpass");
  Param(kTarget)->DefineChoice("Target", 0, 4, "");
  Param(kComp)->DefineChoice("Comp", 0, 3, "");
  Param(kHold)->DefineInteger("Reset", 0, 0, 1, "");
  Param(kGain)->DefineReal("Gain", 0.0, -12.0, 12.0, 0.1, "dB");
}

std::vector<HostCall> RecordingEffect::Calls(const std::string& what) const {
  std::vector<HostCall> kept;
  for (const HostCall& call : calls)
    if (call.what == what) kept.push_back(call);
  return kept;
}

void RecordingEffect::BeginHostGesture(int32_t index) {
  FlushHostGesture();
  calls.push_back({"begin", index, 0.0});
}

void RecordingEffect::AutomateHost(int32_t index, double normalised) {
  calls.push_back({"automate", index, normalised});
}

void RecordingEffect::EndHostGesture(int32_t index) {
  calls.push_back({"end", index, 0.0});
}

void RecordingEffect::HostTimeSignature(int32_t* numerator, int32_t* denominator) {
  if (numerator) *numerator = 4;
  if (denominator) *denominator = 4;
}

} // namespace quorvane::test
