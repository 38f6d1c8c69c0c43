// The effect double for tests of the plug-in base and the editor: the base's host side and
// effect hooks, recorded. A test suite derives from it only to define its parameters.
#pragma once

#include "framework/IEffectBase.h"
#include "tests/support/RecordingEditor.h"

#include <memory>
#include <string>
#include <vector>

namespace quorvane::test {

// A gesture or automation call towards the host.
struct HostCall {
  std::string what; // "begin", "automate", "end"
  int32_t index;
  double value;
  bool operator==(const HostCall& other) const {
    return what == other.what && index == other.index && value == other.value;
  }
};

class RecordingEffect : public IEffectBase {
public:
  struct Identity {
    const char* channelSpec;
    int32_t presetCount;
    const char* effectName;
    const char* productName;
    int32_t version;
    int32_t uniqueId;
    int32_t vendorCode;
    int32_t midiMode;
  };
  RecordingEffect(int32_t paramCount, const Identity& identity);

  double ValueOf(int32_t index) const { return Param(index)->Value(); }
  // Only the calls of one kind ("begin", "automate" or "end").
  std::vector<HostCall> Calls(const std::string& what) const;
  std::shared_ptr<EditorLog> AttachRecordingEditor();

  void OnParamChange(int32_t index) override { changes.push_back(index); }
  // Like the host binding: a mouse gesture ends a deferred wheel gesture first.
  void BeginHostGesture(int32_t index) override;
  void AutomateHost(int32_t index, double normalised) override;
  void EndHostGesture(int32_t index) override;
  void RefreshHostDisplay() override {}
  int32_t HostSamplePosition() override { return 0; }
  double HostTempo() override { return 120.0; }
  void HostTimeSignature(int32_t* numerator, int32_t* denominator) override;
  void UpdateEditorRect() override { ++editorRectUpdates; }
  void ApplyHostQuirks() override {}
  // The host takes every message but a zero status.
  bool SendMidiToHost(const MidiMessage& message) override;
  bool SendSysExToHost(const SysExMessage&) override { return true; }

  std::vector<int32_t> changes;
  std::vector<HostCall> calls;
  std::vector<uint8_t> sentMidi;
  int editorRectUpdates = 0;
};

} // namespace quorvane::test
