#pragma once
// The effect double for the editor tests: six parameters of the kinds the editor's controls are
// bound to.

#include "tests/support/RecordingEffect.h"

namespace quorvane::test {

class EditorTestEffect : public RecordingEffect {
public:
  enum ParamIndex : int32_t { kLevel, kMode, kTarget, kComp, kHold, kGain, kParamCount };

  EditorTestEffect()
      : RecordingEffect(kParamCount,
                        {"2-2", 1, "Editor Test", "", 0x00010000, 0x45645473, 0x54657374, 0}) {
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
};

} // namespace quorvane::test
