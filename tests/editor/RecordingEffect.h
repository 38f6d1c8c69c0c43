#pragma once
// A small effect on the plug-in base for the editor tests: six parameters
// of the kinds the editor's controls are bound to, and a recording of every
// gesture and automation call the base makes towards the host.

#include "framework/IEffectBase.h"

#include <string>
#include <vector>

namespace quorvane::test {

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
  enum ParamIndex : int32_t { kLevel, kMode, kTarget, kComp, kHold, kGain, kParamCount };

  RecordingEffect();

  double ValueOf(int32_t index) const { return Param(index)->Value(); }
  // Only the calls of one kind ("begin", "automate" or "end").
  std::vector<HostCall> Calls(const std::string& what) const;

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
  bool SendMidiToHost(const MidiMessage&) override { return false; }
  bool SendSysExToHost(const SysExMessage&) override { return false; }

  std::vector<HostCall> calls;
  int editorRectUpdates = 0;
};

} // namespace quorvane::test
