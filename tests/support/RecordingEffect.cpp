#include "tests/support/RecordingEffect.h"

namespace quorvane::test {

RecordingEffect::RecordingEffect(int32_t paramCount, const Identity& id)
    : IEffectBase(paramCount, id.channelSpec, id.presetCount, id.effectName, id.productName,
                  "Test Vendor", id.version, id.uniqueId, id.vendorCode, 0, id.midiMode, true,
                  false) {}

std::vector<HostCall> RecordingEffect::Calls(const std::string& what) const {
  std::vector<HostCall> kept;
  for (const HostCall& call : calls)
    if (call.what == what) kept.push_back(call);
  return kept;
}

std::shared_ptr<EditorLog> RecordingEffect::AttachRecordingEditor() {
  auto log = std::make_shared<EditorLog>();
  AttachEditor(std::make_unique<RecordingEditor>(log));
  return log;
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

bool RecordingEffect::SendMidiToHost(const MidiMessage& message) {
  sentMidi.push_back(message.status);
  return message.status != 0;
}

} // namespace quorvane::test
