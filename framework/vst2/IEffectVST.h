#pragma once

// The plug-in base bound to a VST 2.4 host: owns the effect record the host holds, answers the
// dispatcher's opcodes, and implements the host-facing operations of IEffectBase (automation,
// gestures, time information, MIDI output, host identity) through the host's callback. The
// effect class derives from it; the entry point creates the effect and hands the host the record.
//
// Threads: the host's user-interface thread calls the dispatcher, its audio thread the process
// callbacks; either may call setParameter/getParameter. Every one of them holds the plug-in lock
// for its whole duration. Calls into the host are made with the lock held. Nothing is thrown
// across the interface: the C edge (VstEdge.cpp) catches everything and answers 0.

#include "framework/IEffectBase.h"
#include "framework/vst2/Vst2Interface.h"

#include <cstdint>
#include <memory>

namespace quorvane {

class IEffectVST : public IEffectBase {
public:
  // The answer to effIdentify, 'NvEf'.
  static constexpr int32_t kIdentifyAnswer = 0x4E764566;
  // The answer of the host-extension requests (effVendorSpecific) that are understood.
  static constexpr intptr_t kVendorSpecificAnswer = 0xBEEF;
  // Host extension: a mouse-wheel step forwarded by the host ('stCA' with value 'Whee').
  static constexpr int32_t kWheelRequest = 0x73744341;
  static constexpr intptr_t kWheelRequestValue = 0x57686565;
  // The screen scale a host asks the editor to draw at ('PreS', 'AeCs'), the factor in opt.
  static constexpr int32_t kScaleRequest = kVstScaleFactorIndex;
  static constexpr intptr_t kScaleRequestValue = kVstScaleFactorValue;
  // Scratch buffers are sized for at most this many frames, whatever the host announces;
  // longer blocks are processed in pieces.
  static constexpr int32_t kMaxPreparedBlockSize = 1 << 16;
  static constexpr int32_t kInitialBlockSize = 1024;

  // hostCallback: the host's callback as handed to the entry point (may be null: the plug-in then
  // works without ever calling the host); then the arguments of IEffectBase, in the same order.
  IEffectVST(audioMasterCallback hostCallback, int32_t paramCount, const char* channelSpec,
             int32_t presetCount, const char* effectName, const char* productName,
             const char* vendorName, int32_t version, int32_t uniqueId, int32_t vendorCode,
             int32_t latency, int32_t midiMode, bool hasStateChunks, bool isInstrument);

  // The record handed to the host. Its object field points back at this plug-in.
  AEffect* Record() { return &effect; }
  // The entry point, once the effect is constructed: at least one program, and the record says so.
  void FinishCreation();

  //==============================================================================================
  // Called by the C edge, under no lock; each takes the plug-in lock itself.

  // One dispatcher call. effClose destroys this object.
  intptr_t Dispatch(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt);
  // The three audio callbacks: float replacing, float accumulating, double replacing.
  void ProcessFloat(float** inputs, float** outputs, int32_t frames, bool accumulate);
  void ProcessDouble(double** inputs, double** outputs, int32_t frames);

  //==============================================================================================
  // IEffectBase's host side

  void BeginHostGesture(int32_t index) override;
  void AutomateHost(int32_t index, double normalised) override;
  void EndHostGesture(int32_t index) override;
  void RefreshHostDisplay() override;
  int32_t HostSamplePosition() override;
  double HostTempo() override;
  void HostTimeSignature(int32_t* numerator, int32_t* denominator) override;
  // Asks the host for its product text and version the first time; the stored kind afterwards.
  HostKind IdentifyHost() override;
  void UpdateEditorRect() override;
  bool ResizeHostWindow(int32_t width, int32_t height) override;
  // Runs once per instance, at the first effOpen.
  void ApplyHostQuirks() override;
  void AttachEditor(std::unique_ptr<IEditorConnection> surface) override;
  void SetReportedLatency(int32_t samples) override;
  bool SendMidiToHost(const MidiMessage& message) override;
  bool SendSysExToHost(const SysExMessage& message) override;

  // Whether an editor is attached (the plug-in module injected a window for it); the record
  // reports an editor only then.
  bool HasUsableEditor() const;

private:
  intptr_t CallHost(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                    float opt = 0.0f);
  const VstTimeInfo* HostTime(int32_t wantedFlags);
  void ResetArrangement(VstSpeakerArrangement& arrangement, int32_t channels);
  void AnnounceChannelCounts();

  // Opcode handlers (VstDispatcher.cpp), called with the lock held.
  intptr_t DispatchLocked(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt);
  intptr_t DeliverEvents(const VstEvents* events);
  intptr_t VendorSpecific(int32_t index, intptr_t value, void* ptr, float opt);
  intptr_t CanDo(const char* text) const;
  intptr_t PinProperties(bool input, int32_t index, VstPinProperties* pin) const;
  intptr_t SetSpeakerArrangement(const VstSpeakerArrangement* input,
                                 const VstSpeakerArrangement* output);
  void CloseFromHost();

  ERect editorRect{};
  audioMasterCallback hostCallback = nullptr;
  VstSpeakerArrangement inputArrangement{};
  VstSpeakerArrangement outputArrangement{};
  bool quirksApplied = false;
  AEffect effect{};
};

} // namespace quorvane
