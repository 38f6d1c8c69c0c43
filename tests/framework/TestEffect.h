#pragma once

// A small effect on the plug-in base for tests: four parameters of every defined kind, a
// recording of every call the base makes into the host side and into the effect, and an editor
// double that records what the base pushes to it.

#include "framework/IEffectBase.h"

#include <memory>
#include <string>
#include <vector>

namespace quorvane {

struct HostCall {
  std::string what; // "begin", "end", "automate"
  int32_t index;
  double value;
  bool operator==(const HostCall& other) const {
    return what == other.what && index == other.index && value == other.value;
  }
};

struct EditorLog {
  struct Push {
    int32_t index;
    double value;
    bool normalised;
  };
  std::vector<Push> pushes;
  std::vector<std::string> events; // "prepare", "countdown N", "clear"
  int32_t frameRate = IEditorConnection::kDefaultFrameRate;
  bool destroyed = false;
  // Set: the editor flushes the pending gesture when destroyed, as a window closing does.
  IEffectBase* flushOnDestroy = nullptr;
};

class RecordingEditor : public IEditorConnection {
public:
  explicit RecordingEditor(std::shared_ptr<EditorLog> sharedLog) : log(std::move(sharedLog)) {}
  ~RecordingEditor() override {
    log->destroyed = true;
    if (log->flushOnDestroy) log->flushOnDestroy->FlushHostGesture();
  }

  void PushParamToControls(int32_t index, double value, bool normalised) override {
    log->pushes.push_back({index, value, normalised});
  }
  void PrepareBackBuffer() override { log->events.push_back("prepare"); }
  int32_t FrameRate() const override { return log->frameRate; }
  void StartEndEditCountdown(int32_t ticks) override {
    log->events.push_back("countdown " + std::to_string(ticks));
  }
  void ClearEndEditCountdown() override { log->events.push_back("clear"); }

private:
  std::shared_ptr<EditorLog> log;
};

class TestEffect : public IEffectBase {
public:
  enum ParamIndex : int32_t { kFreq, kMode, kSteps, kGain, kParamCount };

  explicit TestEffect(int32_t presetCount = 4, const char* channelSpec = "1-1 2-2",
                      const char* effectName = "Test Effect")
      : IEffectBase(kParamCount, channelSpec, presetCount, effectName, "Test Product",
                    "Test Vendor", 0x00010203, 0x54657374, 0x56656E64, 0, 1, true, false) {
    Param(kFreq)->DefineReal("Freq", 1000.0, 20.0, 20000.0, 0.1, "Hz");
    Param(kFreq)->SetCurve(3.0);
    Param(kMode)->DefineChoice("Mode", 1, 3, "");
    Param(kMode)->AddValueName(0, "Lowpass");
    Param(kMode)->AddValueName(1, "Highpass");
    Param(kMode)->AddValueName(2, "Bandpass");
    Param(kSteps)->DefineInteger("Steps", 4, 1, 16, "");
    Param(kGain)->DefineReal("Gain", 0.0, -24.0, 24.0, 0.5, "dB");
  }

  std::shared_ptr<EditorLog> AttachRecordingEditor() {
    auto log = std::make_shared<EditorLog>();
    AttachEditor(std::make_unique<RecordingEditor>(log));
    return log;
  }

  double ValueOf(int32_t index) const { return Param(index)->Value(); }

  void OnParamChange(int32_t index) override { changes.push_back(index); }

  void BeginHostGesture(int32_t index) override {
    FlushHostGesture();
    hostCalls.push_back({"begin", index, 0.0});
  }
  void AutomateHost(int32_t index, double normalised) override {
    hostCalls.push_back({"automate", index, normalised});
  }
  void EndHostGesture(int32_t index) override { hostCalls.push_back({"end", index, 0.0}); }
  void RefreshHostDisplay() override {}
  int32_t HostSamplePosition() override { return 0; }
  double HostTempo() override { return 0.0; }
  void HostTimeSignature(int32_t* numerator, int32_t* denominator) override {
    *numerator = 0;
    *denominator = 0;
  }
  void UpdateEditorRect() override {}
  void ApplyHostQuirks() override {}
  bool SendMidiToHost(const MidiMessage& message) override {
    sentMidi.push_back(message.status);
    return message.status != 0;
  }
  bool SendSysExToHost(const SysExMessage&) override { return true; }

  std::vector<int32_t> changes;
  std::vector<HostCall> hostCalls;
  std::vector<uint8_t> sentMidi;
};

} // namespace quorvane
