#include "effect/VSTCLASS.h"

#include "effect/DebugTrace.h"
#include "effect/EditorLayout.h"
#include "framework/AudioCallScope.h"

namespace quorvane {

namespace {

struct FactoryProgram {
  const char* name;
  // Parameters 0 to 12 in index order; the reset switch (13) is always 0.
  int32_t values[VSTCLASS::kParamCount - 1];
};

// Programs 1 to 10; program 0 is made from the defaults, program 11 is left
// empty for the user.
constexpr FactoryProgram kFactoryPrograms[] = {
    {"1 oct bandwidth", {2, 2000, 12, 100, 0, 800, 500, 90, 700, 90, 0, 6, 1}},
    {"1x2 oct bandwidth", {2, 2000, 25, 100, 0, 800, 500, 90, 700, 90, 0, 6, 1}},
    {"2x2 oct bandwidth", {2, 2000, 50, 100, 0, 800, 500, 90, 700, 90, 0, 6, 1}},
    {"3x2 oct bandwidth", {2, 2000, 100, 100, 0, 800, 500, 90, 700, 90, 0, 6, 1}},
    {"Glissando", {1, 20, 20, 100, 1, 1200, 500, 100, 1000, 90, 0, 20, 1}},
    {"Glissando Decrescendo", {2, 2000, 30, 100, 1, 1200, 500, 100, 1000, 90, 1, 8, 0}},
    {"High Frequencies", {1, 8000, 20, 100, 0, 800, 500, 90, 700, 90, 0, 6, 1}},
    {"Low Frequencies", {0, 3000, 20, 100, 0, 800, 500, 90, 700, 90, 0, 6, 1}},
    {"Middle Frequencies", {2, 2000, 15, 100, 0, 800, 500, 90, 700, 90, 0, 6, 1}},
    {"Uplifting", {0, 300, 25, 100, 1, 4000, 500, 100, 1500, 100, 0, 18, 1}},
};

} // namespace

VSTCLASS::VSTCLASS(audioMasterCallback host, EditorWindowFactory makeEditorWindow)
    : IEffectVST(host, kParamCount, "1-1 2-2", kPresetCount, "Quorvane", "", "Kelto", kVersion,
                 kUniqueId, kVendorCode, 0, kMidiMode, false, false) {
  // Trace lines made during audio calls are written out at the next turn.
  SetUserInterfaceTurn(&FlushTrace);
  DebugTrace("VSTCLASS::VSTCLASS");
  DefineParameters();
  SetFloatBlockProcessor(this);
  // The editor is built now, whether or not the host ever opens it, so that
  // its controls already hold the values when the window first paints.
  if (makeEditorWindow) BuildQuorvaneEditor(*this, makeEditorWindow, graph);
  FillDefaultPresets("---- default ----", 1);
  DefineFactoryPresets();
}

void VSTCLASS::DefineParameters() {
  IParameter& filterType = *Param(kParamFilterType);
  filterType.DefineChoice("Filter Type", 1, 3, "");
  filterType.AddValueName(0, "Lowpass");
  filterType.AddValueName(1, "Highpass");
  filterType.AddValueName(2, "Bandpass");

  IParameter& filterFreq = *Param(kParamFilterFreq);
  filterFreq.DefineInteger("Filter Freq", 20, 20, 20000, "Hz");
  filterFreq.SetCurve(2.0);

  Param(kParamFilterBandwidth)->DefineInteger("Filter Bandwidth", 20, 1, 100, "%");
  Param(kParamFilterMix)->DefineInteger("Filter Mix", 100, 0, 100, "%");

  // The envelope's targets are named after the parameters they drive.
  IParameter& envTarget = *Param(kParamEnvTarget);
  envTarget.DefineChoice("ENV Target", 0, 4, "");
  envTarget.AddValueName(0, "No Assign");
  envTarget.AddValueName(1, Param(kParamFilterFreq)->Name());
  envTarget.AddValueName(2, Param(kParamFilterBandwidth)->Name());
  envTarget.AddValueName(3, Param(kParamFilterMix)->Name());

  Param(kParamEnvAttack)->DefineInteger("ENV Attack", 800, 0, 8000, "ms");
  Param(kParamEnvDecay)->DefineInteger("ENV Decay", 500, 0, 8000, "ms");
  Param(kParamEnvSustain)->DefineInteger("ENV Sustain", 90, 0, 100, "%");
  Param(kParamEnvRelease)->DefineInteger("ENV Release", 700, 0, 8000, "ms");
  Param(kParamEnvDepth)->DefineInteger("ENV Depth", 90, 0, 100, "%");

  IParameter& direction = *Param(kParamEnvDirection);
  direction.DefineChoice("ENV Direction", 0, 2, "");
  direction.AddValueName(0, "Up");
  direction.AddValueName(1, "Down");

  Param(kParamEnvVolCompensation)->DefineInteger("ENV Vol Compensation", 6, 0, 24, "dB");

  IParameter& compensation = *Param(kParamEnvCompensation);
  compensation.DefineChoice("ENV Compensation", 1, 3, "");
  compensation.AddValueName(0, "Left");
  compensation.AddValueName(1, "Right");
  compensation.AddValueName(2, "Both");
  // The reset switch (13) keeps the framework's undefined state: range 0 to 1, no name.
}

void VSTCLASS::DefineFactoryPresets() {
  for (const FactoryProgram& program : kFactoryPrograms) {
    double values[kParamCount];
    for (int32_t i = 0; i < kParamCount - 1; ++i)
      values[i] = program.values[i];
    values[kParamEnvReset] = 0.0;
    DefinePresetValues(program.name, values, kParamCount);
  }
}

} // namespace quorvane
