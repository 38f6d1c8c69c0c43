// A small effect on the real binding, for testing the binding without the product's effect:
// four parameters of different kinds, three programs, and hooks that record what reaches them.
#pragma once

#include "IEffectVST.h"

#include <vector>

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

  void Reset() override { ++resets; }
  void OnParamChange(int32_t index) override { changes.push_back(index); }
  void OnActivate(bool active) override { activations.push_back(active); }
  void HandleMidi(const MidiMessage& message) override {
    midi.push_back(message);
    SendMidiToHost(message);
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
};
