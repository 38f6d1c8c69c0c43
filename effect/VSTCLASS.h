#pragma once
// The Quorvane effect: a stereo second-order filter (lowpass, highpass or
// bandpass) with frequency, bandwidth and dry/wet mix, and an ADSR envelope,
// gated by MIDI notes, that can drive one of those three controls with a
// depth, a direction and a volume compensation.
//
// Threads: the host's user-interface thread constructs it and calls Reset,
// OnActivate, HandleMidi and (with the audio thread) OnParamChange; the audio
// thread calls ProcessBlock. The framework holds the plug-in lock around all
// of them; Reset, OnActivate and OnParamChange take it again themselves.
// ProcessBlock and HandleMidi never allocate and make no system call.

#include "effect/EditorWindowFactory.h"
#include "effect/ProcessingState.h"
#include "effect/dsp/NoteGate.h"
#include "framework/FloatBlockProcessor.h"
#include "framework/GraphReadout.h"
#include "framework/vst2/IEffectVST.h"

#include <cstdint>

namespace quorvane {

// VSTCLASS: the Quorvane effect, the one class the plug-in module creates.
class VSTCLASS : public IEffectVST, private FloatBlockProcessor {
public:
  enum ParamIndex : int32_t {
    kParamFilterType = 0,
    kParamFilterFreq = 1,
    kParamFilterBandwidth = 2,
    kParamFilterMix = 3,
    kParamEnvTarget = 4,
    kParamEnvAttack = 5,
    kParamEnvDecay = 6,
    kParamEnvSustain = 7,
    kParamEnvRelease = 8,
    kParamEnvDepth = 9,
    kParamEnvDirection = 10,
    kParamEnvVolCompensation = 11,
    kParamEnvCompensation = 12,
    kParamEnvReset = 13,
  };
  static constexpr int32_t kParamCount = 14;
  static constexpr int32_t kPresetCount = 12;
  static constexpr int32_t kVersion = 0x00010000;
  static constexpr int32_t kUniqueId = 0x68687A32;   // 'hhz2'
  static constexpr int32_t kVendorCode = 0x4B656C74; // 'Kelt'
  static constexpr int32_t kMidiMode = 1;

  // makeEditorWindow: the platform's editor window, or null for no editor.
  explicit VSTCLASS(audioMasterCallback host, EditorWindowFactory makeEditorWindow = nullptr);

  // Sample rate or block size changed, or processing was suspended: a new
  // rate redesigns the filter and the envelope steps.
  void Reset() override;
  // Derives the effect's fields from parameter index (0 to 13).
  void OnParamChange(int32_t index) override;
  // Audio thread: filters channels 0 and 1 of inputs into outputs.
  void ProcessBlock(double** inputs, double** outputs, int32_t frames) override;
  // Audio thread: the same for the host's float buffers, each output
  // replaced or, when adding, added to; the result is the same as widening,
  // ProcessBlock and narrowing.
  bool ProcessFloatBlock(float** inputs, float** outputs, int32_t frames, bool adding) override;
  // Either way the envelope stops where it is and every held note is forgotten.
  void OnActivate(bool active) override;
  // Note on/off gate the envelope from their own frame of the coming block
  // (see NoteGate); every message is sent on to the host at once, unchanged.
  // Answers what the host answered to the message sent on.
  bool HandleMidi(const MidiMessage& message) override;

  const ProcessingState& State() const { return state; }
  const GraphReadout& Graph() const { return graph; }

private:
  void DefineParameters();
  void DefineFactoryPresets();

  // The case for index and the routing update, without lock and trace.
  void ApplyParamChange(int32_t index);
  void ApplyFilterParam(int32_t index, int32_t v, float p);
  void ApplyEnvelopeParam(int32_t index, int32_t v, float p);
  void UpdateRouting();
  void UpdateCoefficients();
  // designRate, or the fallback rate while designRate is not yet usable.
  double StepRate() const;

  void InitialiseOnFirstBlock();
  template <class Sample, class... Mode>
  void RenderBlock(const Sample* const in[2], Sample* const out[2], int32_t frames, Mode... mode);
  // Frames begin .. end - 1, which no note divides.
  template <class Sample, class... Mode>
  void RenderSpan(const Sample* const in[2], Sample* const out[2], int32_t begin, int32_t end,
                  Mode... mode);
  // With a target assigned and no note in between: renders all frames while
  // the envelope rests, else at most 128; answers how many.
  template <class Sample, class... Mode>
  int32_t RenderWithTarget(const Sample* const in[2], Sample* const out[2], int32_t frames,
                           Mode... mode);
  void RouteHeldValue(float value);

  ProcessingState state;
  // Published for the editor's envelope strip, which reads it on its own thread.
  GraphReadout graph;
  NoteGate gate;
  float lastRoutedValue = 0.0f; // the envelope's latest output, for the readout
};

} // namespace quorvane
