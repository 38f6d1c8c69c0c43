#include "framework/vst2/IEffectVST.h"

#include "framework/vst2/HostIdentification.h"
#include "framework/vst2/VstEdge.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace quorvane {

namespace {

// The host's product text buffer; hosts write at most 64 bytes, some more.
constexpr int kHostProductBufferSize = 256;

int16_t ToRectCoordinate(int32_t v) {
  return static_cast<int16_t>(std::clamp<int32_t>(v, 0, std::numeric_limits<int16_t>::max()));
}

int32_t SpeakerArrangementType(int32_t channels) {
  switch (channels) {
  case 0:
    return kSpeakerArrEmpty;
  case 1:
    return kSpeakerArrMono;
  case 2:
    return kSpeakerArrStereo;
  default:
    return kSpeakerArrUserDefined;
  }
}

} // namespace

IEffectVST::IEffectVST(audioMasterCallback callback, int32_t paramCount, const char* channelSpec,
                       int32_t presetCount, const char* effectName, const char* productName,
                       const char* vendorName, int32_t version, int32_t uniqueId,
                       int32_t vendorCode, int32_t latency, int32_t midiMode, bool hasStateChunks,
                       bool isInstrument)
    : IEffectBase(paramCount, channelSpec, presetCount, effectName, productName, vendorName,
                  version, uniqueId, vendorCode, latency, midiMode, hasStateChunks, isInstrument),
      hostCallback(callback) {
  effect.magic = kEffectMagic;
  InstallVstCallbacks(effect);
  effect.numPrograms = PresetCount();
  effect.numParams = ParamCount();
  effect.numInputs = InputCount();
  effect.numOutputs = OutputCount();
  effect.flags = effFlagsCanReplacing | effFlagsCanDoubleReplacing;
  if (HasStateChunks()) effect.flags |= effFlagsProgramChunks;
  if (AcceptsChannelCounts(1, -1)) effect.flags |= effFlagsCanMono;
  if (IsInstrument()) effect.flags |= effFlagsIsSynth;
  effect.initialDelay = Latency();
  effect.ioRatio = 1.0f;
  effect.object = this;
  effect.uniqueID = UniqueId();
  effect.version = VersionNumber(true);

  ResetArrangement(inputArrangement, InputCount());
  ResetArrangement(outputArrangement, OutputCount());
  ConnectInputs(0, InputCount(), true);
  ConnectOutputs(0, OutputCount(), true);
  PrepareBlockSize(kInitialBlockSize);
}

void IEffectVST::FinishCreation() {
  EnsureOnePreset();
  if (effect.numPrograms < 1) effect.numPrograms = 1;
}

void IEffectVST::ResetArrangement(VstSpeakerArrangement& arrangement, int32_t channels) {
  arrangement = VstSpeakerArrangement{};
  arrangement.type = SpeakerArrangementType(channels);
  arrangement.numChannels = channels;
}

//================================================================================================
// Audio

void IEffectVST::ProcessFloat(float** inputs, float** outputs, int32_t frames, bool accumulate) {
  PluginLockGuard guard(GetPluginLock());
  if (MidiMode() != 0) CallHost(audioMasterWantMidi);
  ProcessHostFloatLocked(inputs, outputs, std::max(frames, 0), accumulate);
}

void IEffectVST::ProcessDouble(double** inputs, double** outputs, int32_t frames) {
  PluginLockGuard guard(GetPluginLock());
  if (MidiMode() != 0) CallHost(audioMasterWantMidi);
  ProcessHostDoubleLocked(inputs, outputs, std::max(frames, 0));
}

//================================================================================================
// Calls into the host

// Every host call goes through here: a host that gave no callback is simply never called.
intptr_t IEffectVST::CallHost(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
  if (hostCallback == nullptr) return 0;
  return hostCallback(&effect, opcode, index, value, ptr, opt);
}

void IEffectVST::BeginHostGesture(int32_t index) {
  FlushHostGesture();
  CallHost(audioMasterBeginEdit, index);
}

void IEffectVST::AutomateHost(int32_t index, double normalised) {
  CallHost(audioMasterAutomate, index, 0, nullptr, static_cast<float>(normalised));
}

void IEffectVST::EndHostGesture(int32_t index) {
  CallHost(audioMasterEndEdit, index);
}

void IEffectVST::RefreshHostDisplay() {
  CallHost(audioMasterUpdateDisplay);
}

const VstTimeInfo* IEffectVST::HostTime(int32_t wantedFlags) {
  return reinterpret_cast<const VstTimeInfo*>(CallHost(audioMasterGetTime, 0, wantedFlags));
}

int32_t IEffectVST::HostSamplePosition() {
  const VstTimeInfo* time = HostTime(0);
  if (time == nullptr || !(time->samplePos >= 0.0)) return 0;
  // Saturate rather than overflow once a long session passes 2^31 samples.
  const double rounded = time->samplePos + 0.5;
  if (rounded >= static_cast<double>(std::numeric_limits<int32_t>::max()))
    return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(rounded);
}

double IEffectVST::HostTempo() {
  const VstTimeInfo* time = HostTime(kVstTempoValid);
  if (time == nullptr || (time->flags & kVstTempoValid) == 0 || !(time->tempo >= 0.0)) return 0.0;
  return time->tempo;
}

void IEffectVST::HostTimeSignature(int32_t* numerator, int32_t* denominator) {
  if (numerator != nullptr) *numerator = 0;
  if (denominator != nullptr) *denominator = 0;
  const VstTimeInfo* time = HostTime(kVstTimeSigValid);
  if (time == nullptr || (time->flags & kVstTimeSigValid) == 0 || time->timeSigNumerator < 0 ||
      time->timeSigDenominator < 0) {
    return;
  }
  if (numerator != nullptr) *numerator = time->timeSigNumerator;
  if (denominator != nullptr) *denominator = time->timeSigDenominator;
}

bool IEffectVST::SendMidiToHost(const MidiMessage& message) {
  VstMidiEvent event{};
  event.type = kVstMidiType;
  event.byteSize = sizeof(VstMidiEvent);
  event.deltaFrames = message.offset;
  event.midiData[0] = static_cast<char>(message.status);
  event.midiData[1] = static_cast<char>(message.data1);
  event.midiData[2] = static_cast<char>(message.data2);
  VstEvents list{};
  list.numEvents = 1;
  list.events[0] = reinterpret_cast<VstEvent*>(&event);
  return CallHost(audioMasterProcessEvents, 0, 0, &list) == 1;
}

bool IEffectVST::SendSysExToHost(const SysExMessage& message) {
  VstMidiSysexEvent event{};
  event.type = kVstSysExType;
  event.byteSize = sizeof(VstMidiSysexEvent);
  event.deltaFrames = message.offset;
  event.dumpBytes = message.size;
  event.sysexDump = reinterpret_cast<char*>(const_cast<uint8_t*>(message.data));
  VstEvents list{};
  list.numEvents = 1;
  list.events[0] = reinterpret_cast<VstEvent*>(&event);
  return CallHost(audioMasterProcessEvents, 0, 0, &list) == 1;
}

//================================================================================================
// Host identity

HostKind IEffectVST::IdentifyHost() {
  if (StoredHostKind() != HostKind::NotAsked) return StoredHostKind();
  char product[kHostProductBufferSize] = {};
  CallHost(audioMasterGetProductString, 0, 0, product);
  product[kHostProductBufferSize - 1] = '\0';
  int32_t packedVersion = 0;
  if (product[0] != '\0') {
    const intptr_t decimal = CallHost(audioMasterGetVendorVersion);
    packedVersion = PackDecimalVersion(static_cast<int32_t>(std::clamp<intptr_t>(
        decimal, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max())));
  }
  StoreHostIdentity(HostKindFromProduct(product), packedVersion);
  return StoredHostKind();
}

void IEffectVST::ApplyHostQuirks() {
  if (quirksApplied) return;
  quirksApplied = true;
  // These hosts mishandle plug-ins with more than a stereo pair: feed the extra inputs silence
  // and keep every output alive.
  if (HostNeedsStereoOnlyInputs(IdentifyHost())) {
    ConnectInputs(2, InputCount() - 2, false);
    ConnectOutputs(2, OutputCount() - 2, true);
  }
  AnnounceChannelCounts();
}

void IEffectVST::AnnounceChannelCounts() {
  effect.numInputs = InputCount();
  effect.numOutputs = OutputCount();
  inputArrangement.numChannels = InputCount();
  outputArrangement.numChannels = OutputCount();
}

//================================================================================================
// Editor and latency

bool IEffectVST::HasUsableEditor() const {
  return Editor() != nullptr;
}

void IEffectVST::UpdateEditorRect() {
  if (!HasUsableEditor()) return;
  editorRect.top = 0;
  editorRect.left = 0;
  editorRect.bottom = ToRectCoordinate(Editor()->EditorHeight());
  editorRect.right = ToRectCoordinate(Editor()->EditorWidth());
}

bool IEffectVST::ResizeHostWindow(int32_t width, int32_t height) {
  return CallHost(audioMasterSizeWindow, width, height) != 0;
}

void IEffectVST::AttachEditor(std::unique_ptr<IEditorConnection> surface) {
  const bool attaching = surface != nullptr;
  IEffectBase::AttachEditor(std::move(surface));
  if (!attaching || !HasUsableEditor()) return;
  effect.flags |= effFlagsHasEditor;
  UpdateEditorRect();
}

void IEffectVST::SetReportedLatency(int32_t samples) {
  effect.initialDelay = samples;
  IEffectBase::SetReportedLatency(samples);
}

} // namespace quorvane
