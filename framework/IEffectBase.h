#pragma once

// The host-independent core of every plug-in object: it owns the parameters, the presets, the
// plug-in lock, the identity, the channel model and the attached editor; it routes every
// parameter change between host, editor and effect, keeps the presets, writes and reads state
// chunks, and turns the host's audio buffers into ProcessBlock calls. Everything that talks to a
// particular host interface is a pure virtual operation that the host binding implements.
//
// Threads: the host's user-interface thread (dispatcher, editor) and its audio thread (process
// calls, often parameter calls) both come in. The recursive plug-in lock serialises them; every
// public operation that changes state takes it, so callers may but need not hold it already.

#include "framework/ChannelModel.h"
#include "framework/ChunkFormat.h"
#include "framework/DeferredGesture.h"
#include "framework/FloatBlockProcessor.h"
#include "framework/HostKind.h"
#include "framework/IEditorConnection.h"
#include "framework/IParameter.h"
#include "framework/MidiMessage.h"
#include "framework/PluginLock.h"
#include "framework/Preset.h"
#include "framework/PresetBank.h"
#include "framework/StateBuffer.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace quorvane {

class IEffectBase {
public:
  static constexpr int32_t kChunkMagic = ChunkFormat::kMagic;
  static constexpr int32_t kChunkVersion = ChunkFormat::kVersion;
  static constexpr int kIdentityTextSize = 128;
  static constexpr int32_t kNoPendingGesture = DeferredGesture::kNone;
  static constexpr double kDefaultSampleRate = 44100.0;
  // The rates any binding accepts from a host; others would only poison the coefficients.
  static constexpr double kMinSampleRate = 1000.0;
  static constexpr double kMaxSampleRate = 10000000.0;
  static bool IsAcceptedSampleRate(double hz) {
    return hz >= kMinSampleRate && hz <= kMaxSampleRate;
  }

  // channelSpec: accepted channel counts, e.g. "1-1 2-2". version is packed: major in the upper
  // 16 bits, minor in bits 8-15, patch in bits 0-7. Texts longer than 127 characters are cut.
  IEffectBase(int32_t paramCount, const char* channelSpec, int32_t presetCount,
              const char* effectName, const char* productName, const char* vendorName,
              int32_t version, int32_t uniqueId, int32_t vendorCode, int32_t latency,
              int32_t midiMode, bool hasStateChunks, bool isInstrument);
  virtual ~IEffectBase();
  IEffectBase(const IEffectBase&) = delete;
  IEffectBase& operator=(const IEffectBase&) = delete;

  //==============================================================================================
  // The virtual operations, in table order. The effect overrides Reset, OnParamChange,
  // ProcessBlock, OnActivate and HandleMidi. All run under the plug-in lock.

  // Sample rate or block size changed, or processing was suspended.
  virtual void Reset();
  // Parameter index has a new value; the only place an effect reads parameter values.
  virtual void OnParamChange(int32_t index);
  // Audio thread. Every slot points at frames valid doubles, connected channel or not. The
  // default passes inputs through to outputs and silences outputs without an input.
  virtual void ProcessBlock(double** inputs, double** outputs, int32_t frames);
  // User-interface thread, after the editor window opened / before it closes.
  virtual void OnEditorOpened();
  virtual void OnEditorClosed();
  // Reserved; nothing calls it.
  virtual void ReservedHookA();
  // Processing resumed (true) or suspended (false).
  virtual void OnActivate(bool active);
  // One MIDI event, before the block it belongs to. Answers whether the host
  // took what the effect sent on (false when it sent nothing).
  virtual bool HandleMidi(const MidiMessage& message);
  virtual void HandleSysEx(const SysExMessage& message);
  // Name for a MIDI note into text (textSize bytes); the default writes "" and answers false.
  virtual bool NameForMidiNote(int32_t note, char* text, int32_t textSize);
  // The effect's program state, after the chunk header; defaults are the parameter values.
  virtual bool WriteState(StateBuffer& buffer);
  virtual int32_t ReadState(const StateBuffer& buffer, int32_t pos);

  // Host side. BeginHostGesture must call FlushHostGesture before it tells the host, so that a
  // deferred wheel gesture ends before another one begins.
  virtual void BeginHostGesture(int32_t index) = 0;
  // Begins a gesture unless one for index is still open (a run of wheel steps).
  virtual void BeginHostGestureOnce(int32_t index);
  virtual void AutomateHost(int32_t index, double normalised) = 0;
  virtual void EndHostGesture(int32_t index) = 0;
  virtual void RefreshHostDisplay() = 0;
  virtual int32_t HostSamplePosition() = 0;
  virtual double HostTempo() = 0;
  virtual void HostTimeSignature(int32_t* numerator, int32_t* denominator) = 0;
  // The default answers what StoreHostIdentity stored.
  virtual HostKind IdentifyHost();
  virtual void UpdateEditorRect() = 0;
  // Asks the host to give the open editor window this size in pixels; true when it did. The
  // default has no host to ask.
  virtual bool ResizeHostWindow(int32_t width, int32_t height);
  // Reserved; nothing calls it.
  virtual void ReservedHookB();
  virtual void ApplyHostQuirks() = 0;
  // Takes ownership of the surface, hands it every parameter's value, then lets it prepare its
  // back buffer. A later surface replaces (and destroys) an earlier one; null does nothing.
  virtual void AttachEditor(std::unique_ptr<IEditorConnection> surface);
  // Sizes every channel's scratch to frames doubles (zeroed). Never called on the audio thread.
  virtual void PrepareBlockSize(int32_t frames);
  virtual void SetReportedLatency(int32_t samples);
  virtual bool SendMidiToHost(const MidiMessage& message) = 0;
  // Sends each message in order; true only if every one was accepted.
  virtual bool SendMidiListToHost(const MidiMessage* messages, int32_t count);
  virtual bool SendSysExToHost(const SysExMessage& message) = 0;
  // Appends every parameter's value (8 bytes each); false when the buffer cannot grow.
  virtual bool WriteParamState(StateBuffer& buffer);
  // Reads one value per parameter from pos, clamped into its range, then announces every
  // parameter. Answers the position after the values, or -1 when the data ran out: the value at
  // which it ran out becomes 0.0 clamped, later ones keep theirs.
  virtual int32_t ReadParamState(const StateBuffer& buffer, int32_t pos);
  // Every preset: name (int32 length + bytes), initialised byte, and its values if initialised.
  virtual bool WritePresetBank(StateBuffer& buffer);
  // Replaces the presets from pos on, then reloads the current preset. Answers the last
  // position, -1 when the data ran out.
  virtual int32_t ReadPresetBank(const StateBuffer& buffer, int32_t pos);

  //==============================================================================================
  // Parameters

  int32_t ParamCount() const { return static_cast<int32_t>(fields.params.size()); }
  // Null for an index outside 0 .. ParamCount()-1.
  IParameter* Param(int32_t index);
  const IParameter* Param(int32_t index) const;
  bool IsValidParam(int32_t index) const { return index >= 0 && index < ParamCount(); }

  //==============================================================================================
  // Change routing (each under the plug-in lock; bad indices are ignored)

  // The host's setParameter: editor first, then the value, then the effect.
  void SetParameterFromHost(int32_t index, double normalised);
  // The host's getParameter: the normalised value, 0 for a bad index.
  double ParameterForHost(int32_t index) const;
  // Text typed for the host (its string-to-parameter request): parsed, shown in the editor,
  // clamped and stored without step rounding, then announced. False for a bad index or text.
  bool SetParameterFromText(int32_t index, const char* text);
  // A control changed parameter index: the value, the host's automation, then the effect.
  void ApplyEditorChange(int32_t index, double normalised);
  // Pushes every parameter's value to the editor's controls.
  void RefreshEditorControls();
  // OnParamChange for every index in ascending order.
  void AnnounceAllParams();
  // Ends the gesture for index now without an editor, else after half a second of timer ticks.
  void EndHostGestureLater(int32_t index);
  // Ends a deferred gesture now (timer ran out, window closing, another gesture begins).
  void FlushHostGesture();
  int32_t PendingGestureParam() const { return fields.gesture.Pending(); }

  //==============================================================================================
  // Presets

  // count times: the first uninitialised preset gets the current values and the name (or
  // "Default" when name is null or empty).
  void FillDefaultPresets(const char* name, int32_t count);
  // The first uninitialised preset gets name and one value per parameter, in parameter order;
  // values for Toggle, Integer and Choice parameters are taken as whole numbers (truncated).
  // Missing values take the parameter's current value; extra ones are ignored. Values are
  // clamped only when the preset is loaded.
  template <typename... Values> void DefinePreset(const char* name, Values... values) {
    const double list[sizeof...(values) + 1] = {static_cast<double>(values)..., 0.0};
    DefinePresetValues(name, list, static_cast<int32_t>(sizeof...(values)));
  }
  void DefinePresetValues(const char* name, const double* values, int32_t count);
  // With no preset at all, adds one and makes it "Default" with the current values.
  void EnsureOnePreset();
  // The current preset takes the live values, and the name when one is given and not empty.
  bool StoreCurrentPreset(const char* name = nullptr);
  // Loads preset index; an uninitialised one instead takes the live values and a user name.
  // False (nothing changed) for a bad index.
  bool LoadPreset(int32_t index);
  // "user preset N", N one more than the presets whose names contain "user preset".
  void NextUserPresetName(char* text, int32_t textSize) const;
  // The name, or "" for a bad index.
  const char* PresetName(int32_t index) const;
  // Copies name (cut to 255 characters) into preset index; false for a bad index or null name.
  bool RenamePreset(int32_t index, const char* name);
  int32_t PresetCount() const { return fields.presets.Count(); }
  int32_t CurrentPreset() const { return fields.presets.Current(); }
  // Null for a bad index.
  const Preset* PresetAt(int32_t index) const;

  //==============================================================================================
  // State chunks

  // Empties buffer and writes the 8-byte chunk header.
  static bool StartChunk(StateBuffer& buffer);
  // The host asks for the program (bank false) or bank chunk. Answers the length and stores the
  // address through data (valid until the next chunk call or destruction), or answers 0.
  int32_t GetChunk(bool bank, const void** data);
  // The host hands a program or bank chunk. Answers 1 when the whole chunk was read; otherwise
  // 0 and the parameters and presets are as they were before the call.
  int32_t SetChunk(bool bank, const void* data, int64_t size);

  //==============================================================================================
  // Identity and host

  const char* EffectName() const { return fields.effectName; }
  const char* ProductName() const { return fields.productName; }
  const char* VendorName() const { return fields.vendorName; }
  int32_t UniqueId() const { return fields.uniqueId; }
  int32_t VendorCode() const { return fields.vendorCode; }
  int32_t Version() const { return fields.version; }
  // decimal: major * 10000 + minor * 100 + patch; otherwise the packed version.
  int32_t VersionNumber(bool decimal) const;
  bool HasStateChunks() const { return fields.hasStateChunks; }
  bool IsInstrument() const { return fields.isInstrument; }
  int32_t MidiMode() const { return fields.midiMode; }
  int32_t Latency() const { return fields.latency; }
  HostKind StoredHostKind() const { return fields.hostKind; }
  int32_t HostVersion() const { return fields.hostVersion; }
  void StoreHostIdentity(HostKind kind, int32_t packedVersion);

  double SampleRate() const { return fields.sampleRate; }
  // Ignores rates that are not finite and positive.
  void SetSampleRate(double hz);
  int32_t BlockSize() const { return fields.channels.BlockSize(); }

  IEditorConnection* Editor() const { return fields.editor.get(); }
  PluginLock& GetPluginLock() const { return fields.pluginLock; }

  //==============================================================================================
  // Audio channels

  const std::vector<ChannelIOSpec>& ChannelSpecs() const { return fields.channels.Specs(); }
  int32_t InputCount() const { return fields.channels.InputCount(); }
  int32_t OutputCount() const { return fields.channels.OutputCount(); }
  // True if some spec matches; a negative count matches any.
  bool AcceptsChannelCounts(int32_t inputCount, int32_t outputCount) const;
  // Channels first .. first+count-1, limited to those that exist. An input that becomes
  // unconnected reads silence; an output that does writes to its scratch.
  void ConnectInputs(int32_t first, int32_t count, bool connected);
  void ConnectOutputs(int32_t first, int32_t count, bool connected);
  bool InputConnected(int32_t index) const;
  bool OutputConnected(int32_t index) const;
  // The arrays ProcessBlock receives: one sample pointer per channel.
  double* const* InputSlots() const { return fields.channels.InputSlots(); }
  double* const* OutputSlots() const { return fields.channels.OutputSlots(); }

  // Audio thread, the host's double and float callbacks. The host's pointer arrays are consumed
  // by connected channels only, in order. Blocks longer than BlockSize() are processed in
  // pieces; null arrays or pointers read silence and discard output. accumulate adds to the
  // host's float output instead of replacing it. No allocation.
  void ProcessHostDouble(double** hostInputs, double** hostOutputs, int32_t frames);
  void ProcessHostFloat(float** hostInputs, float** hostOutputs, int32_t frames, bool accumulate);

protected:
  // The same for a binding that already holds the plug-in lock: a second, recursive hold costs
  // more than a small block's filtering.
  void ProcessHostDoubleLocked(double** hostInputs, double** hostOutputs, int32_t frames);
  // Inline: a whole float block goes straight to the effect, which is what small blocks spend
  // their fixed cost on.
  void ProcessHostFloatLocked(float** hostInputs, float** hostOutputs, int32_t frames,
                              bool accumulate) {
    if (fields.floatBlocks != nullptr && frames > 0 &&
        fields.channels.FloatArraysUsable(hostInputs, hostOutputs) &&
        fields.floatBlocks->ProcessFloatBlock(hostInputs, hostOutputs, frames, accumulate))
      return;
    ProcessHostFloatInPieces(hostInputs, hostOutputs, frames, accumulate);
  }
  // Constructor of the effect: from now on the host's float buffers go to processor directly
  // whenever they can (see FloatBlockProcessor).
  void SetFloatBlockProcessor(FloatBlockProcessor* processor) { fields.floatBlocks = processor; }

private:
  // The channel model's block callback: ProcessBlock of the effect behind context.
  static void ProcessBlockOf(void* context, double** inputs, double** outputs, int32_t frames);
  // Through the channels' scratch, in pieces of at most the block size.
  void ProcessHostFloatInPieces(float** hostInputs, float** hostOutputs, int32_t frames,
                                bool accumulate);
  bool FillPresetWithLiveValues(Preset& preset);
  int32_t ReadChunk(bool bank, const StateBuffer& buffer);

  // The plug-in's data, kept in one member so that its names never shadow (or get shadowed by)
  // the names of derived classes.
  struct Fields {
    Fields(const char* channelSpec, int32_t presetCount)
        : channels(channelSpec), presets(presetCount) {}
    ChannelModel channels;
    std::vector<std::unique_ptr<IParameter>> params;
    PresetBank presets;
    DeferredGesture gesture;
    mutable PluginLock pluginLock;
    char effectName[kIdentityTextSize] = {};
    char productName[kIdentityTextSize] = {};
    char vendorName[kIdentityTextSize] = {};
    int32_t uniqueId = 0;
    int32_t vendorCode = 0;
    int32_t version = 0;
    HostKind hostKind = HostKind::NotAsked;
    int32_t hostVersion = 0;
    bool hasStateChunks = false;
    bool isInstrument = false;
    int32_t midiMode = 0;
    double sampleRate = kDefaultSampleRate;
    int32_t latency = 0;
    std::unique_ptr<IEditorConnection> editor;
    FloatBlockProcessor* floatBlocks = nullptr;
    StateBuffer presetChunk;
    StateBuffer bankChunk;
  };
  Fields fields;
};

} // namespace quorvane
