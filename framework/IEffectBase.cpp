#include "framework/IEffectBase.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace quorvane {

namespace {

void CopyIdentity(char* out, std::size_t outSize, const char* text) {
  const std::size_t size = text ? std::strlen(text) : 0;
  const std::size_t kept = size < outSize - 1 ? size : outSize - 1;
  if (kept > 0) std::memcpy(out, text, kept);
  out[kept] = '\0';
}

constexpr const char* kDefaultPresetName = "Default";

} // namespace

IEffectBase::IEffectBase(int32_t paramCount, const char* channelSpec, int32_t presetCount,
                         const char* newEffectName, const char* newProductName,
                         const char* newVendorName, int32_t newVersion, int32_t newUniqueId,
                         int32_t newVendorCode, int32_t newLatency, int32_t newMidiMode,
                         bool chunks, bool instrument)
    : fields(channelSpec, presetCount) {
  fields.uniqueId = newUniqueId;
  fields.vendorCode = newVendorCode;
  fields.version = newVersion;
  fields.hasStateChunks = chunks;
  fields.isInstrument = instrument;
  fields.midiMode = newMidiMode;
  fields.latency = newLatency;
  for (int32_t i = 0; i < paramCount; ++i)
    fields.params.push_back(std::make_unique<IParameter>());
  CopyIdentity(fields.effectName, sizeof fields.effectName, newEffectName);
  CopyIdentity(fields.productName, sizeof fields.productName, newProductName);
  CopyIdentity(fields.vendorName, sizeof fields.vendorName, newVendorName);
}

IEffectBase::~IEffectBase() {
  // A window that closes with a wheel countdown running flushes the gesture; the host side is
  // already destroyed here, so there must be nothing left for it to end.
  fields.gesture.Take();
  // The editor goes first: its controls may still refer to parameters.
  fields.editor.reset();
  while (!fields.params.empty())
    fields.params.pop_back();
}

//================================================================================================
// Default behaviour of the virtual operations

void IEffectBase::Reset() {}
void IEffectBase::OnParamChange(int32_t) {}
void IEffectBase::OnEditorOpened() {}
void IEffectBase::OnEditorClosed() {}
void IEffectBase::ReservedHookA() {}
void IEffectBase::OnActivate(bool) {}
bool IEffectBase::HandleMidi(const MidiMessage&) {
  return false;
}
void IEffectBase::HandleSysEx(const SysExMessage&) {}

bool IEffectBase::NameForMidiNote(int32_t, char* text, int32_t textSize) {
  if (text && textSize > 0) text[0] = '\0';
  return false;
}

bool IEffectBase::WriteState(StateBuffer& buffer) {
  return WriteParamState(buffer);
}

int32_t IEffectBase::ReadState(const StateBuffer& buffer, int32_t pos) {
  return ReadParamState(buffer, pos);
}

HostKind IEffectBase::IdentifyHost() {
  return fields.hostKind;
}
void IEffectBase::ReservedHookB() {}

bool IEffectBase::ResizeHostWindow(int32_t, int32_t) {
  return false;
}

void IEffectBase::AttachEditor(std::unique_ptr<IEditorConnection> surface) {
  if (!surface) return;
  PluginLockGuard guard(fields.pluginLock);
  for (int32_t i = 0; i < ParamCount(); ++i)
    surface->PushParamToControls(i, fields.params[static_cast<std::size_t>(i)]->Normalised(), true);
  surface->PrepareBackBuffer();
  fields.editor = std::move(surface);
}

void IEffectBase::SetReportedLatency(int32_t samples) {
  fields.latency = samples;
}

bool IEffectBase::SendMidiListToHost(const MidiMessage* messages, int32_t count) {
  if (count > 0 && !messages) return false;
  bool allSent = true;
  for (int32_t i = 0; i < count; ++i)
    allSent = SendMidiToHost(messages[i]) && allSent;
  return allSent;
}

//================================================================================================
// Parameters and change routing

IParameter* IEffectBase::Param(int32_t index) {
  return IsValidParam(index) ? fields.params[static_cast<std::size_t>(index)].get() : nullptr;
}

const IParameter* IEffectBase::Param(int32_t index) const {
  return IsValidParam(index) ? fields.params[static_cast<std::size_t>(index)].get() : nullptr;
}

void IEffectBase::SetParameterFromHost(int32_t index, double normalised) {
  PluginLockGuard guard(fields.pluginLock);
  IParameter* param = Param(index);
  if (!param) return;
  const double x = IParameter::ClampNormalised(normalised);
  if (fields.editor) fields.editor->PushParamToControls(index, x, true);
  param->SetFromNormalised(x);
  OnParamChange(index);
}

double IEffectBase::ParameterForHost(int32_t index) const {
  PluginLockGuard guard(fields.pluginLock);
  const IParameter* param = Param(index);
  return param ? param->Normalised() : 0.0;
}

bool IEffectBase::SetParameterFromText(int32_t index, const char* text) {
  PluginLockGuard guard(fields.pluginLock);
  IParameter* param = Param(index);
  if (!param || !text) return false;
  const double v = param->ParseValue(text);
  if (fields.editor) fields.editor->PushParamToControls(index, param->ClampToRange(v), false);
  param->SetClampedValue(v);
  OnParamChange(index);
  return true;
}

void IEffectBase::ApplyEditorChange(int32_t index, double normalised) {
  PluginLockGuard guard(fields.pluginLock);
  IParameter* param = Param(index);
  if (!param) return;
  param->SetFromNormalised(normalised);
  // The host records what the control gave, not the value after rounding to the step.
  AutomateHost(index, normalised);
  OnParamChange(index);
}

void IEffectBase::RefreshEditorControls() {
  PluginLockGuard guard(fields.pluginLock);
  if (!fields.editor) return;
  for (int32_t i = 0; i < ParamCount(); ++i)
    fields.editor->PushParamToControls(i, fields.params[static_cast<std::size_t>(i)]->Value(),
                                       false);
}

void IEffectBase::AnnounceAllParams() {
  PluginLockGuard guard(fields.pluginLock);
  for (int32_t i = 0; i < ParamCount(); ++i)
    OnParamChange(i);
}

void IEffectBase::BeginHostGestureOnce(int32_t index) {
  PluginLockGuard guard(fields.pluginLock);
  if (!IsValidParam(index) || index == fields.gesture.Pending()) return;
  FlushHostGesture();
  BeginHostGesture(index);
}

void IEffectBase::EndHostGestureLater(int32_t index) {
  PluginLockGuard guard(fields.pluginLock);
  if (!IsValidParam(index)) return;
  if (!fields.editor) {
    EndHostGesture(index);
    return;
  }
  fields.gesture.Defer(index, *fields.editor);
}

void IEffectBase::FlushHostGesture() {
  PluginLockGuard guard(fields.pluginLock);
  if (fields.editor) fields.editor->ClearEndEditCountdown();
  const int32_t index = fields.gesture.Take();
  if (index != DeferredGesture::kNone) EndHostGesture(index);
}

//================================================================================================
// Identity

int32_t IEffectBase::VersionNumber(bool decimal) const {
  if (!decimal) return fields.version;
  const uint32_t packed = static_cast<uint32_t>(fields.version);
  const int32_t major = static_cast<int32_t>(packed >> 16);
  const int32_t minor = static_cast<int32_t>((packed >> 8) & 0xFF);
  const int32_t patch = static_cast<int32_t>(packed & 0xFF);
  return major * 10000 + minor * 100 + patch;
}

void IEffectBase::StoreHostIdentity(HostKind kind, int32_t packedVersion) {
  fields.hostKind = kind;
  fields.hostVersion = packedVersion;
}

void IEffectBase::SetSampleRate(double hz) {
  // A zero, negative or non-finite rate would poison every coefficient derived from it.
  if (std::isfinite(hz) && hz > 0.0) fields.sampleRate = hz;
}

//================================================================================================
// Presets

bool IEffectBase::FillPresetWithLiveValues(Preset& preset) {
  // A preset made uninitialised by a bank chunk may still hold old values; never append to them.
  preset.state.Clear();
  return WriteParamState(preset.state);
}

const Preset* IEffectBase::PresetAt(int32_t index) const {
  return fields.presets.At(index);
}

void IEffectBase::FillDefaultPresets(const char* name, int32_t count) {
  PluginLockGuard guard(fields.pluginLock);
  for (int32_t i = 0; i < count; ++i) {
    Preset* preset = fields.presets.FirstUninitialised();
    if (!preset) continue;
    preset->initialised = true;
    PresetBank::SetName(*preset, (name && name[0]) ? name : kDefaultPresetName);
    FillPresetWithLiveValues(*preset);
  }
}

void IEffectBase::DefinePresetValues(const char* name, const double* values, int32_t count) {
  PluginLockGuard guard(fields.pluginLock);
  Preset* preset = fields.presets.FirstUninitialised();
  if (!preset) return;
  preset->initialised = true;
  PresetBank::SetName(*preset, name);
  preset->state.Clear();
  for (int32_t i = 0; i < ParamCount(); ++i) {
    const IParameter& param = *fields.params[static_cast<std::size_t>(i)];
    double v = (values && i < count) ? values[i] : param.Value();
    const ParamKind kind = param.Kind();
    if (kind == ParamKind::Toggle || kind == ParamKind::Integer || kind == ParamKind::Choice)
      v = std::trunc(v);
    preset->state.AppendDouble(v);
  }
}

void IEffectBase::EnsureOnePreset() {
  PluginLockGuard guard(fields.pluginLock);
  Preset* first = fields.presets.AddIfEmpty();
  if (!first) return;
  first->initialised = true;
  PresetBank::SetName(*first, kDefaultPresetName);
  FillPresetWithLiveValues(*first);
}

bool IEffectBase::StoreCurrentPreset(const char* name) {
  PluginLockGuard guard(fields.pluginLock);
  Preset* current = fields.presets.At(fields.presets.Current());
  if (!current) return false;
  Preset& preset = *current;
  const bool stored = FillPresetWithLiveValues(preset);
  if (name && name[0]) PresetBank::SetName(preset, name);
  return stored;
}

bool IEffectBase::LoadPreset(int32_t index) {
  PluginLockGuard guard(fields.pluginLock);
  Preset* slot = fields.presets.At(index);
  if (!slot) return false;
  Preset& preset = *slot;
  bool loaded;
  if (!preset.initialised) {
    // Selecting a never-used slot keeps the sound and saves it there as a new user preset.
    preset.initialised = true;
    char name[Preset::kNameSize];
    NextUserPresetName(name, sizeof name);
    PresetBank::SetName(preset, name);
    loaded = FillPresetWithLiveValues(preset);
  } else {
    loaded = ReadParamState(preset.state, 0) >= 0;
  }
  if (loaded) {
    fields.presets.SetCurrent(index);
    RefreshEditorControls();
  }
  return loaded;
}

void IEffectBase::NextUserPresetName(char* text, int32_t textSize) const {
  fields.presets.NextUserPresetName(text, textSize);
}

const char* IEffectBase::PresetName(int32_t index) const {
  const Preset* preset = PresetAt(index);
  return preset ? preset->name : "";
}

bool IEffectBase::RenamePreset(int32_t index, const char* name) {
  PluginLockGuard guard(fields.pluginLock);
  Preset* preset = fields.presets.At(index);
  if (!preset || !name) return false;
  PresetBank::SetName(*preset, name);
  return true;
}

//================================================================================================
// State chunks

bool IEffectBase::StartChunk(StateBuffer& buffer) {
  return ChunkFormat::Start(buffer);
}

bool IEffectBase::WriteParamState(StateBuffer& buffer) {
  PluginLockGuard guard(fields.pluginLock);
  for (const auto& param : fields.params)
    if (!buffer.AppendDouble(param->Value())) return false;
  return true;
}

int32_t IEffectBase::ReadParamState(const StateBuffer& buffer, int32_t pos) {
  PluginLockGuard guard(fields.pluginLock);
  for (std::size_t i = 0; i < fields.params.size() && pos >= 0; ++i) {
    double v = 0.0;
    pos = buffer.ReadDouble(&v, pos);
    if (pos < 0) v = 0.0;
    fields.params[i]->SetClampedValue(v);
  }
  AnnounceAllParams();
  return pos;
}

bool IEffectBase::WritePresetBank(StateBuffer& buffer) {
  PluginLockGuard guard(fields.pluginLock);
  for (int32_t i = 0; i < PresetCount(); ++i)
    if (!ChunkFormat::WritePreset(buffer, *fields.presets.At(i))) return false;
  return true;
}

int32_t IEffectBase::ReadPresetBank(const StateBuffer& buffer, int32_t pos) {
  PluginLockGuard guard(fields.pluginLock);
  for (int32_t i = 0; i < PresetCount() && pos >= 0; ++i) {
    Preset& preset = *fields.presets.At(i);
    pos = ChunkFormat::ReadPresetHeader(buffer, pos, preset);
    if (preset.initialised) {
      pos = ReadParamState(buffer, pos);
      if (pos >= 0) FillPresetWithLiveValues(preset);
    }
  }
  LoadPreset(fields.presets.Current());
  return pos;
}

int32_t IEffectBase::GetChunk(bool bank, const void** data) {
  if (!data) return 0;
  PluginLockGuard guard(fields.pluginLock);
  StateBuffer& target = bank ? fields.bankChunk : fields.presetChunk;
  bool written = StartChunk(target);
  if (bank) {
    // The current preset first takes the live values, so the bank holds what is heard.
    if (written && PresetCount() > 0) written = StoreCurrentPreset(nullptr);
    written = written && WritePresetBank(target);
  } else {
    written = written && WriteState(target);
  }
  if (!written || target.Empty()) return 0;
  *data = target.Data();
  return target.Size();
}

int32_t IEffectBase::ReadChunk(bool bank, const StateBuffer& buffer) {
  int32_t chunkVersion = 0;
  int32_t pos = ChunkFormat::ReadHeader(buffer, &chunkVersion);
  if (bank && chunkVersion >= kChunkVersion) return ReadPresetBank(buffer, pos);
  // A program chunk, or a bank in an older form: bare values, with or without the header.
  pos = ReadState(buffer, pos);
  StoreCurrentPreset(nullptr);
  return pos;
}

int32_t IEffectBase::SetChunk(bool bank, const void* data, int64_t size) {
  if (!data || size <= 0 || size > std::numeric_limits<int32_t>::max()) return 0;
  PluginLockGuard guard(fields.pluginLock);
  // What a refused chunk must not change: the live values and every preset.
  std::vector<double> values;
  values.reserve(fields.params.size());
  for (const auto& param : fields.params)
    values.push_back(param->Value());
  PresetBank presets(PresetCount());
  if (!fields.presets.SaveTo(presets)) return 0;
  // Hosts may hand back the very bytes GetChunk answered; Assign copies with overlap in mind.
  StateBuffer& target = bank ? fields.bankChunk : fields.presetChunk;
  if (!target.Assign(data, size)) return 0;
  if (ReadChunk(bank, target) < 0) {
    // A chunk that does not fit is refused as a whole rather than half applied.
    fields.presets.RestoreFrom(presets);
    for (std::size_t i = 0; i < fields.params.size(); ++i)
      fields.params[i]->RestoreValue(values[i]);
    AnnounceAllParams();
    RefreshEditorControls();
    return 0;
  }
  RefreshEditorControls();
  return 1;
}

//================================================================================================
// Audio channels

void IEffectBase::ProcessBlock(double** inputSamples, double** outputSamples, int32_t frames) {
  if (frames <= 0 || !outputSamples) return;
  const int32_t through = inputSamples ? std::min(InputCount(), OutputCount()) : 0;
  const auto bytes = sizeof(double) * static_cast<std::size_t>(frames);
  for (int32_t i = 0; i < OutputCount(); ++i) {
    double* out = outputSamples[i];
    if (!out) continue;
    const double* in = i < through ? inputSamples[i] : nullptr;
    if (in && in != out)
      std::memmove(out, in, bytes);
    else if (!in)
      std::memset(out, 0, bytes);
  }
}

void IEffectBase::ProcessBlockOf(void* context, double** inputs, double** outputs, int32_t frames) {
  static_cast<IEffectBase*>(context)->ProcessBlock(inputs, outputs, frames);
}

bool IEffectBase::AcceptsChannelCounts(int32_t inputCount, int32_t outputCount) const {
  return fields.channels.Accepts(inputCount, outputCount);
}

void IEffectBase::ConnectInputs(int32_t first, int32_t count, bool connected) {
  PluginLockGuard guard(fields.pluginLock);
  fields.channels.ConnectInputs(first, count, connected);
}

void IEffectBase::ConnectOutputs(int32_t first, int32_t count, bool connected) {
  PluginLockGuard guard(fields.pluginLock);
  fields.channels.ConnectOutputs(first, count, connected);
}

bool IEffectBase::InputConnected(int32_t index) const {
  return fields.channels.InputConnected(index);
}

bool IEffectBase::OutputConnected(int32_t index) const {
  return fields.channels.OutputConnected(index);
}

void IEffectBase::PrepareBlockSize(int32_t frames) {
  PluginLockGuard guard(fields.pluginLock);
  fields.channels.PrepareBlockSize(frames);
}

void IEffectBase::ProcessHostDouble(double** hostInputs, double** hostOutputs, int32_t frames) {
  PluginLockGuard guard(fields.pluginLock);
  ProcessHostDoubleLocked(hostInputs, hostOutputs, frames);
}

void IEffectBase::ProcessHostFloat(float** hostInputs, float** hostOutputs, int32_t frames,
                                   bool accumulate) {
  PluginLockGuard guard(fields.pluginLock);
  ProcessHostFloatLocked(hostInputs, hostOutputs, frames, accumulate);
}

void IEffectBase::ProcessHostDoubleLocked(double** hostInputs, double** hostOutputs,
                                          int32_t frames) {
  fields.channels.ProcessHostDouble(hostInputs, hostOutputs, frames, &ProcessBlockOf, this);
}

void IEffectBase::ProcessHostFloatInPieces(float** hostInputs, float** hostOutputs,
                                           int32_t frames, bool accumulate) {
  fields.channels.ProcessHostFloat(hostInputs, hostOutputs, frames, accumulate, &ProcessBlockOf,
                                   this);
}

} // namespace quorvane
