#pragma once
// The effect double for the plug-in base's tests: four parameters of every defined kind.

#include "tests/support/RecordingEffect.h"

namespace quorvane {

using test::EditorLog;
using test::HostCall;
using test::RecordingEditor;

class TestEffect : public test::RecordingEffect {
public:
  enum ParamIndex : int32_t { kFreq, kMode, kSteps, kGain, kParamCount };

  explicit TestEffect(int32_t presetCount = 4, const char* channelSpec = "1-1 2-2",
                      const char* effectName = "Test Effect")
      : RecordingEffect(kParamCount, {channelSpec, presetCount, effectName, "Test Product",
                                      0x00010203, 0x54657374, 0x56656E64, 1}) {
    Param(kFreq)->DefineReal("Freq", 1000.0, 20.0, 20000.0, 0.1, "Hz");
    Param(kFreq)->SetCurve(3.0);
    Param(kMode)->DefineChoice("Mode", 1, 3, "");
    Param(kMode)->AddValueName(0, "Lowpass");
    Param(kMode)->AddValueName(1, "Highpass");
    Param(kMode)->AddValueName(2, "Bandpass");
    Param(kSteps)->DefineInteger("Steps", 4, 1, 16, "");
    Param(kGain)->DefineReal("Gain", 0.0, -24.0, 24.0, 0.5, "dB");
  }
};

} // namespace quorvane
