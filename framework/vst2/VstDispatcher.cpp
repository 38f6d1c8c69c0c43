// The dispatcher's opcode table. Each opcode checks its own indices, pointers and sizes here,
// in one place, before anything reaches the plug-in base; requests out of range answer 0.

#include "framework/FixedPointText.h"
#include "framework/vst2/IEffectVST.h"

#include "framework/vst2/VstText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

namespace quorvane {

namespace {

// Program and parameter indices that arrive in the pointer-sized value argument.
int32_t IndexFromValue(intptr_t value) {
  if (value < 0 || value > std::numeric_limits<int32_t>::max()) return -1;
  return static_cast<int32_t>(value);
}

// A text from the host, read no further than our own limit even if it is not terminated there.
struct HostInputText {
  explicit HostInputText(const void* ptr) {
    CopyHostText(text, static_cast<const char*>(ptr), sizeof text);
  }
  char text[kHostInputTextSize];
};

bool IsSwitchParameter(const IParameter& param) {
  if (param.Kind() == ParamKind::Toggle) return true;
  const bool stepped = param.Kind() == ParamKind::Integer || param.Kind() == ParamKind::Choice;
  return stepped && std::fabs(param.Maximum() - param.Minimum()) < 1.5;
}

} // namespace

intptr_t IEffectVST::Dispatch(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
  if (opcode == effClose) {
    CloseFromHost();
    return 0;
  }
  PluginLockGuard guard(GetPluginLock());
  return DispatchLocked(opcode, index, value, ptr, opt);
}

void IEffectVST::CloseFromHost() {
  // Wait for a block or parameter call still running on another thread, then let go: the lock
  // dies with the object, and must not be held when it does. A wheel gesture still waiting for
  // its countdown is ended now, while the host can still be told.
  {
    PluginLockGuard guard(GetPluginLock());
    FlushHostGesture();
  }
  delete this;
}

intptr_t IEffectVST::DispatchLocked(int32_t opcode, int32_t index, intptr_t value, void* ptr,
                                    float opt) {
  char* text = static_cast<char*>(ptr);
  IParameter* param = Param(index);
  switch (opcode) {
  case effOpen:
    ApplyHostQuirks();
    AnnounceAllParams();
    return 0;
  case effSetProgram:
    // The edits made so far stay with the program being left.
    StoreCurrentPreset(nullptr);
    LoadPreset(IndexFromValue(value));
    return 0;
  case effGetProgram:
    return CurrentPreset();
  case effSetProgramName:
    if (ptr != nullptr) StoreCurrentPreset(HostInputText(ptr).text);
    return 0;
  case effGetProgramName:
    if (text != nullptr) CopyHostText(text, PresetName(CurrentPreset()), kHostProgramNameSize);
    return 0;
  case effGetParamLabel:
    if (param != nullptr && text != nullptr) CopyHostText(text, param->Unit(), kHostParamLabelSize);
    return 0;
  case effGetParamDisplay:
    if (param != nullptr && text != nullptr)
      param->FormatValue(param->Value(), false, text, kHostParamDisplaySize);
    return 0;
  case effGetParamName:
    if (param != nullptr && text != nullptr) CopyHostText(text, param->Name(), kHostParamNameSize);
    return 0;
  case effSetSampleRate:
    // A rate no audio interface runs at would only poison the effect's coefficients.
    if (IsAcceptedSampleRate(static_cast<double>(opt))) SetSampleRate(static_cast<double>(opt));
    Reset();
    return 0;
  case effSetBlockSize:
    // Scratch is capped; a host that then passes longer blocks is served in pieces. A size
    // below one frame is no size at all and keeps the current one.
    if (value >= 1)
      PrepareBlockSize(static_cast<int32_t>(std::min<intptr_t>(value, kMaxPreparedBlockSize)));
    Reset();
    return 0;
  case effMainsChanged:
    OnActivate(value != 0);
    if (value == 0) Reset();
    return 0;
  case effEditGetRect:
    if (ptr == nullptr || !HasUsableEditor()) return 0;
    *static_cast<ERect**>(ptr) = &editorRect;
    return 1;
  case effEditOpen:
    // Without a host window there is nothing to open in (and an open window must stay).
    if (ptr == nullptr || !HasUsableEditor() || Editor()->OpenEditorWindow(ptr) == nullptr)
      return 0;
    OnEditorOpened();
    return 1;
  case effEditClose:
    if (!HasUsableEditor()) return 0;
    OnEditorClosed();
    Editor()->CloseEditorWindow();
    return 1;
  case effIdentify:
    return kIdentifyAnswer;
  case effGetChunk: {
    if (ptr == nullptr) return 0;
    const void* data = nullptr;
    const int32_t size = GetChunk(index == 0, &data);
    if (size <= 0 || data == nullptr) return 0;
    *static_cast<const void**>(ptr) = data;
    return size;
  }
  case effSetChunk:
    // SetChunk refuses a null pointer and any size outside 1 .. 2^31 - 1 itself.
    return SetChunk(index == 0, ptr, static_cast<int64_t>(value));
  case effProcessEvents:
    return DeliverEvents(static_cast<const VstEvents*>(ptr));
  case effCanBeAutomated:
    return 1;
  case effString2Parameter:
    if (param == nullptr || ptr == nullptr) return 0;
    return SetParameterFromText(index, HostInputText(ptr).text) ? 1 : 0;
  case effGetProgramNameIndexed:
    if (text == nullptr) return 0;
    CopyHostText(text, PresetName(index), kHostProgramNameSize);
    return text[0] != '\0' ? 1 : 0;
  case effGetInputProperties:
    return PinProperties(true, index, static_cast<VstPinProperties*>(ptr));
  case effGetOutputProperties:
    return PinProperties(false, index, static_cast<VstPinProperties*>(ptr));
  case effGetPlugCategory:
    return IsInstrument() ? kPlugCategSynth : kPlugCategEffect;
  case effSetSpeakerArrangement:
    return SetSpeakerArrangement(reinterpret_cast<const VstSpeakerArrangement*>(value),
                                 static_cast<const VstSpeakerArrangement*>(ptr));
  case effGetEffectName:
    if (text == nullptr) return 0;
    CopyHostText(text, EffectName(), kHostEffectNameSize);
    return 1;
  case effGetVendorString:
    if (text == nullptr) return 0;
    CopyHostText(text, VendorName(), kHostVendorTextSize);
    return 1;
  case effGetProductString:
    if (text == nullptr) return 0;
    CopyHostText(text, ProductName(), kHostVendorTextSize);
    return 1;
  case effGetVendorVersion:
    return VersionNumber(true);
  case effVendorSpecific:
    return VendorSpecific(index, value, ptr, opt);
  case effCanDo:
    return CanDo(text);
  case effGetVstVersion:
    return kVstVersion;
  case effGetMidiKeyName: {
    auto* key = static_cast<MidiKeyName*>(ptr);
    if (key == nullptr) return 0;
    key->keyName[0] = '\0';
    const bool named = NameForMidiNote(key->thisKeyNumber, key->keyName, kHostMidiKeyNameSize);
    key->keyName[kHostMidiKeyNameSize - 1] = '\0';
    return named ? 1 : 0;
  }
  case effGetSpeakerArrangement:
    if (value != 0) *reinterpret_cast<VstSpeakerArrangement**>(value) = &inputArrangement;
    if (ptr != nullptr) *static_cast<VstSpeakerArrangement**>(ptr) = &outputArrangement;
    return 1;
  default:
    // Includes bypass, tail size, process precision and start/stop: nothing to do.
    return 0;
  }
}

intptr_t IEffectVST::DeliverEvents(const VstEvents* events) {
  if (events == nullptr) return 0;
  // The record declares two entries, but the host allocates as many as it sends: index from the
  // first entry's address, not through the declared array (out of its bounds past the second).
  VstEvent* const* list = &events->events[0];
  for (int32_t i = 0; i < events->numEvents; ++i) {
    const VstEvent* event = list[i];
    if (event == nullptr) continue;
    if (event->type == kVstMidiType) {
      const auto* midi = reinterpret_cast<const VstMidiEvent*>(event);
      MidiMessage message;
      message.offset = midi->deltaFrames;
      message.status = static_cast<uint8_t>(midi->midiData[0]);
      message.data1 = static_cast<uint8_t>(midi->midiData[1]);
      message.data2 = static_cast<uint8_t>(midi->midiData[2]);
      HandleMidi(message);
    } else if (event->type == kVstSysExType) {
      const auto* sysex = reinterpret_cast<const VstMidiSysexEvent*>(event);
      // A negative size, or bytes promised at a null address, cannot be read safely.
      if (sysex->dumpBytes < 0 || (sysex->dumpBytes > 0 && sysex->sysexDump == nullptr)) continue;
      SysExMessage message;
      message.offset = sysex->deltaFrames;
      message.size = sysex->dumpBytes;
      message.data = reinterpret_cast<const uint8_t*>(sysex->sysexDump);
      HandleSysEx(message);
    }
  }
  return 1;
}

intptr_t IEffectVST::VendorSpecific(int32_t request, intptr_t value, void* ptr, float opt) {
  char* text = static_cast<char*>(ptr);
  const int32_t paramIndex = IndexFromValue(value);
  const IParameter* param = Param(paramIndex);
  switch (request) {
  case effGetParamDisplay:
    // Display text for a value the host has not set yet.
    if (text == nullptr) return 0;
    if (param != nullptr)
      param->FormatValue(static_cast<double>(opt), true, text, kHostParamDisplaySize);
    return kVendorSpecificAnswer;
  case effGetParamName:
    return param != nullptr && IsSwitchParameter(*param) ? kVendorSpecificAnswer : 0;
  case effString2Parameter: {
    // Text to normalised value, answered in place; the parameter itself does not change.
    if (text == nullptr || param == nullptr) return 0;
    const HostInputText typed(text);
    if (typed.text[0] != '\0') {
      const double normalised = param->NormaliseValue(param->ParseValue(typed.text));
      FormatFixedPoint(text, kHostParamDisplaySize, 17, normalised);
    }
    return kVendorSpecificAnswer;
  }
  case kWheelRequest:
    if (value != kWheelRequestValue || !HasUsableEditor()) return 0;
    return Editor()->HostWheel(opt) ? 1 : 0;
  case kScaleRequest:
    if (value != kScaleRequestValue || !HasUsableEditor()) return 0;
    return Editor()->SetHostScale(opt) ? 1 : 0;
  default:
    return 0;
  }
}

intptr_t IEffectVST::CanDo(const char* text) const {
  if (text == nullptr) return 0;
  if (std::strcmp(text, "receiveVstTimeInfo") == 0) return 1;
  const int32_t mode = MidiMode();
  if (mode == 0) return 0;
  // 1: both directions, 2: receive only, 3: send only.
  if ((mode & 1) != 0 &&
      (std::strcmp(text, "sendVstEvents") == 0 || std::strcmp(text, "sendVstMidiEvent") == 0)) {
    return 1;
  }
  if (mode <= 2 && (std::strcmp(text, "receiveVstEvents") == 0 ||
                    std::strcmp(text, "receiveVstMidiEvent") == 0)) {
    return 1;
  }
  return 0;
}

intptr_t IEffectVST::PinProperties(bool input, int32_t index, VstPinProperties* pin) const {
  const int32_t count = input ? InputCount() : OutputCount();
  if (pin == nullptr || index < 0 || index >= count) return 0;
  pin->flags = kVstPinIsActive;
  // Even pins open a stereo pair when a partner follows them.
  if (index % 2 == 0 && index < count - 1) pin->flags |= kVstPinIsStereo;
  std::snprintf(pin->label, kHostPinLabelSize, input ? "Input %d" : "Output %d", index + 1);
  return 1;
}

intptr_t IEffectVST::SetSpeakerArrangement(const VstSpeakerArrangement* input,
                                           const VstSpeakerArrangement* output) {
  // The host's channel counts decide which channels it feeds; the arrangements we report stay.
  if (input != nullptr) {
    const int32_t n = std::clamp(input->numChannels, 0, InputCount());
    ConnectInputs(0, n, true);
    ConnectInputs(n, InputCount() - n, false);
  }
  if (output != nullptr) {
    const int32_t n = std::clamp(output->numChannels, 0, OutputCount());
    ConnectOutputs(0, n, true);
    ConnectOutputs(n, OutputCount() - n, false);
  }
  return 1;
}

} // namespace quorvane
