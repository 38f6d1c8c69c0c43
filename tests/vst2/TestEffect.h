// A small effect on the real binding, for testing the binding without the product's effect:
// four parameters of different kinds, three programs, and hooks that record what reaches them.
#pragma once

#include "framework/vst2/IEffectVST.h"

#include <memory>
#include <string>
#include <vector>

namespace quorvane {

// An editor with a window side that records what the binding asks of it, in one log shared with
// the effect's editor hooks. Like a real window, it ends a pending wheel gesture when it goes.
class WindowEditor : public IEditorConnection {
public:
  static constexpr int32_t kWidth = 507;
  static constexpr int32_t kHeight = 248;

  WindowEditor(IEffectBase* owner, std::shared_ptr<std::vector<std::string>> sharedLog)
      : plug(owner), log(std::move(sharedLog)) {}
  ~WindowEditor() override {
    if (countdown) plug->FlushHostGesture();
    log->push_back("destroyed");
  }

  void PushParamToControls(int32_t, double, bool) override {}
  void PrepareBackBuffer() override {}
  void StartEndEditCountdown(int32_t) override { countdown = true; }
  void ClearEndEditCountdown() override { countdown = false; }
  int32_t EditorWidth() const override { return kWidth; }
  int32_t EditorHeight() const override { return kHeight; }
  void* OpenEditorWindow(void* hostWindow) override {
    log->push_back("open");
    return hostWindow;
  }
  void CloseEditorWindow() override { log->push_back("close"); }
  bool HostWheel(float step) override {
    log->push_back("wheel " + std::to_string(step));
    return step > 0.0f;
  }
  bool SetHostScale(float factor) override {
    log->push_back("scale " + std::to_string(factor));
    return true;
  }

private:
  IEffectBase* plug;
  std::shared_ptr<std::vector<std::string>> log;
  bool countdown = false;
};

class TestEffect : public IEffectVST {
public:
  static constexpr int32_t kPackedVersion = 0x00010203;
  static constexpr int32_t kUniqueId = 0x54655374; // 'TeSt'

  explicit TestEffect(audioMasterCallback host, const char* channels = "1-1 2-2",
                      int32_t presets = 3, int32_t midiMode = 1, const char* name = "Test Effect")
      : IEffectVST(host, 4, channels, presets, name, "Test Product", "Test Vendor", kPackedVersion,
                   kUniqueId, 0x54566E64, 0, midiMode, false, false) {
    IParameter* type = Param(0);
    type->DefineChoice("Filter Type", 1, 3, "");
    type->AddValueName(0, "Lowpass");
    type->AddValueName(1, "Highpass");
    type->AddValueName(2, "Bandpass");
    Param(1)->DefineInteger("Filter Freq", 20, 20, 20000, "Hz");
    Param(1)->SetCurve(2.0);
    Param(2)->DefineChoice("Direction", 0, 2, "");
    Param(2)->AddValueName(0, "Up");
    Param(2)->AddValueName(1, "Down");
    Param(3)->DefineReal("A parameter with a long name xx", 0.5, 0.0, 1.0, 0.01, "longunit!!");
    if (presets > 0) {
      FillDefaultPresets("First program with a long name", 1);
      DefinePreset("Second", 2, 2000, 1, 0.25);
    }
  }

  std::shared_ptr<std::vector<std::string>> AttachWindowEditor() {
    editorLog = std::make_shared<std::vector<std::string>>();
    AttachEditor(std::make_unique<WindowEditor>(this, editorLog));
    return editorLog;
  }
  void OnEditorOpened() override { editorLog->push_back("opened"); }
  void OnEditorClosed() override { editorLog->push_back("closed"); }

  void Reset() override { ++resets; }
  void OnParamChange(int32_t index) override { changes.push_back(index); }
  void OnActivate(bool active) override { activations.push_back(active); }
  bool HandleMidi(const MidiMessage& message) override {
    midi.push_back(message);
    return SendMidiToHost(message);
  }
  void HandleSysEx(const SysExMessage& message) override { sysex.push_back(message); }
  // Output c = 0.5 * input c + c, so tests can tell channels and connections apart.
  void ProcessBlock(double** inputs, double** outputs, int32_t frames) override {
    blocks.push_back(frames);
    for (int32_t c = 0; c < OutputCount(); ++c) {
      for (int32_t i = 0; i < frames; ++i) {
        const double in = c < InputCount() ? inputs[c][i] : 0.0;
        outputs[c][i] = 0.5 * in + c;
      }
    }
  }

  int resets = 0;
  std::vector<int32_t> changes;
  std::vector<bool> activations;
  std::vector<MidiMessage> midi;
  std::vector<SysExMessage> sysex;
  std::vector<int32_t> blocks;
  std::shared_ptr<std::vector<std::string>> editorLog;
};

} // namespace quorvane
