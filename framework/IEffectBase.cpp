#include "framework/IEffectBase.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace quorvane {

namespace {

void CopyIdentity(char* out, std::size_t outSize, const char* text) {
  const std::size_t size = text ? std::strlen(text) : 0;
  const std::size_t kept = size < outSize - 1 ? size : outSize - 1;
  if (kept > 0) std::memcpy(out, text, kept);
  out[kept] = '\0';
}

} // namespace

IEffectBase::IEffectBase(int32_t paramCount, const char* channelSpec, int32_t presetCount,
                         const char* newEffectName, const char* newProductName,
                         const char* newVendorName, int32_t newVersion, int32_t newUniqueId,
                         int32_t newVendorCode, int32_t newLatency, int32_t newMidiMode,
                         bool chunks, bool instrument) {
  fields.uniqueId = newUniqueId;
  fields.vendorCode = newVendorCode;
  fields.version = newVersion;
  fields.hasStateChunks = chunks;
  fields.isInstrument = instrument;
  fields.midiMode = newMidiMode;
  fields.latency = newLatency;
  ParseChannelSpec(channelSpec);
  for (int32_t i = 0; i < paramCount; ++i)
    fields.params.push_back(std::make_unique<IParameter>());
  for (int32_t i = 0; i < presetCount; ++i) {
    auto preset = std::make_unique<Preset>();
    std::snprintf(preset->name, sizeof preset->name, "- %d -", static_cast<int>(i + 1));
    fields.presets.push_back(std::move(preset));
  }
  CopyIdentity(fields.effectName, sizeof fields.effectName, newEffectName);
  CopyIdentity(fields.productName, sizeof fields.productName, newProductName);
  CopyIdentity(fields.vendorName, sizeof fields.vendorName, newVendorName);
}

IEffectBase::~IEffectBase() {
  // A window that closes with a wheel countdown running flushes the gesture; the host side is
  // already destroyed here, so there must be nothing left for it to end.
  fields.pendingGestureParam = kNoPendingGesture;
  // The editor goes first: its controls may still refer to parameters.
  fields.editor.reset();
  while (!fields.params.empty())
    fields.params.pop_back();
  while (!fields.presets.empty())
    fields.presets.pop_back();
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
  if (!IsValidParam(index) || index == fields.pendingGestureParam) return;
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
  fields.pendingGestureParam = index;
  const int32_t ticks = fields.editor->FrameRate() / 2;
  fields.editor->StartEndEditCountdown(ticks > 1 ? ticks : 1);
}

void IEffectBase::FlushHostGesture() {
  PluginLockGuard guard(fields.pluginLock);
  if (fields.editor) fields.editor->ClearEndEditCountdown();
  if (fields.pendingGestureParam >= 0) {
    const int32_t index = fields.pendingGestureParam;
    fields.pendingGestureParam = kNoPendingGesture;
    EndHostGesture(index);
  }
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

} // namespace quorvane
