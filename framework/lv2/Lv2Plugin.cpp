#include "framework/lv2/Lv2Plugin.h"

#include "framework/lv2/Lv2Module.h"
#include "framework/lv2/Lv2Ports.h"

#include <lv2/atom/util.h>
#include <lv2/midi/midi.h>

#include <cstring>
#include <string>

namespace quorvane {

namespace {

// Scratch for this many frames; longer runs are processed in pieces, which sounds the same.
constexpr int32_t kPreparedFrames = 4096;

const LV2_URID_Map* FindUridMap(const LV2_Feature* const* features) {
  for (; features != nullptr && *features != nullptr; ++features)
    if ((*features)->URI != nullptr && std::strcmp((*features)->URI, LV2_URID__map) == 0)
      return static_cast<const LV2_URID_Map*>((*features)->data);
  return nullptr;
}

bool SameBits(float a, float b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

std::unique_ptr<Lv2Plugin> Lv2Plugin::Create(double sampleRate,
                                             const LV2_Feature* const* features) {
  if (!IEffectBase::IsAcceptedSampleRate(sampleRate)) return nullptr;
  // A host that maps nothing (a plain file renderer) gets the audio; MIDI and state need URIDs.
  Urids urids;
  const LV2_URID_Map* map = FindUridMap(features);
  if (map != nullptr && map->map != nullptr) {
    const std::string stateBase = std::string(Lv2Module().pluginUri) + "#";
    urids.midiEvent = map->map(map->handle, LV2_MIDI__MidiEvent);
    urids.atomSequence = map->map(map->handle, LV2_ATOM__Sequence);
    urids.stateKey = map->map(map->handle, (stateBase + "program").c_str());
    urids.stateType = map->map(map->handle, (stateBase + "ProgramState").c_str());
  }

  std::unique_ptr<IEffectBase> effect = CreateLv2Effect();
  if (!effect) return nullptr;
  // The order a VST2 host opens the effect in: values announced, then rate and block size.
  effect->EnsureOnePreset();
  effect->AnnounceAllParams();
  effect->SetSampleRate(sampleRate);
  effect->Reset();
  effect->PrepareBlockSize(kPreparedFrames);
  effect->Reset();
  if (effect->BlockSize() <= 0) return nullptr;
  return std::unique_ptr<Lv2Plugin>(new Lv2Plugin(std::move(effect), urids));
}

Lv2Plugin::Lv2Plugin(std::unique_ptr<IEffectBase> ownEffect, const Urids& ownUrids)
    : effect(std::move(ownEffect)), urids(ownUrids) {
  const auto count = static_cast<std::size_t>(effect->ParamCount());
  controls.assign(count, nullptr);
  appliedControls.resize(count);
  for (std::size_t i = 0; i < count; ++i)
    appliedControls[i] = static_cast<float>(effect->Param(static_cast<int32_t>(i))->Value());
}

void Lv2Plugin::ConnectPort(uint32_t port, void* data) {
  switch (port) {
  case kLv2AudioInLeft:
  case kLv2AudioInRight:
    audioIn[port - kLv2AudioInLeft] = static_cast<const float*>(data);
    return;
  case kLv2AudioOutLeft:
  case kLv2AudioOutRight:
    audioOut[port - kLv2AudioOutLeft] = static_cast<float*>(data);
    return;
  case kLv2MidiIn:
    midiIn = static_cast<const LV2_Atom_Sequence*>(data);
    return;
  case kLv2MidiOut:
    midiOut = static_cast<LV2_Atom_Sequence*>(data);
    return;
  default:
    if (port - kLv2FirstControl < controls.size())
      controls[port - kLv2FirstControl] = static_cast<const float*>(data);
  }
}

void Lv2Plugin::Activate() {
  effect->OnActivate(true);
}

void Lv2Plugin::Deactivate() {
  effect->OnActivate(false);
  effect->Reset();
}

void Lv2Plugin::Run(uint32_t frames) {
  PluginLockGuard guard(effect->GetPluginLock());
  ApplyChangedControls();
  BeginMidiOutput();
  uint32_t done = 0;
  if (midiIn != nullptr && urids.midiEvent != 0) {
    LV2_ATOM_SEQUENCE_FOREACH(midiIn, event) {
      // Events out of order or past the run are taken at the nearest frame that is left.
      int64_t at = event->time.frames;
      if (at < done) at = done;
      if (at > frames) at = frames;
      ProcessFrames(done, static_cast<uint32_t>(at) - done);
      done = static_cast<uint32_t>(at);
      // One past the run is no frame of it: such an event goes out at the last one.
      DeliverMidi(*event, done < frames ? done : (frames > 0 ? frames - 1 : 0));
    }
  }
  ProcessFrames(done, frames - done);
}

void Lv2Plugin::ApplyChangedControls() {
  for (std::size_t i = 0; i < controls.size(); ++i) {
    if (controls[i] == nullptr) continue;
    const float value = *controls[i];
    if (SameBits(value, appliedControls[i])) continue;
    appliedControls[i] = value;
    const auto index = static_cast<int32_t>(i);
    effect->Param(index)->SetClampedValue(static_cast<double>(value));
    effect->OnParamChange(index);
  }
}

void Lv2Plugin::ProcessFrames(uint32_t first, uint32_t count) {
  if (count == 0) return;
  float* in[kLv2AudioChannels];
  float* out[kLv2AudioChannels];
  for (int32_t c = 0; c < kLv2AudioChannels; ++c) {
    // The float path reads inputs before it writes outputs, so shared buffers are fine.
    in[c] = audioIn[c] != nullptr ? const_cast<float*>(audioIn[c]) + first : nullptr;
    out[c] = audioOut[c] != nullptr ? audioOut[c] + first : nullptr;
  }
  effect->ProcessHostFloat(in, out, static_cast<int32_t>(count), false);
}

void Lv2Plugin::BeginMidiOutput() {
  midiOutCapacity = 0;
  if (midiOut == nullptr || urids.atomSequence == 0) return;
  // The host announces the buffer's capacity in the atom's size before each run.
  midiOutCapacity = midiOut->atom.size;
  if (midiOutCapacity < sizeof(LV2_Atom_Sequence_Body)) {
    // Too small for even an empty sequence: an empty atom says there is nothing.
    midiOut->atom.size = 0;
    midiOutCapacity = 0;
    return;
  }
  midiOut->atom.type = urids.atomSequence;
  midiOut->body.unit = 0;
  midiOut->body.pad = 0;
  lv2_atom_sequence_clear(midiOut);
}

void Lv2Plugin::DeliverMidi(const LV2_Atom_Event& event, uint32_t frame) {
  if (event.body.type != urids.midiEvent || event.body.size == 0) return;
  const auto* bytes = reinterpret_cast<const uint8_t*>(&event + 1);
  if (bytes[0] == LV2_MIDI_MSG_SYSTEM_EXCLUSIVE) {
    SysExMessage sysex;
    sysex.size = static_cast<int32_t>(event.body.size);
    sysex.data = bytes;
    effect->HandleSysEx(sysex);
    return;
  }
  // A short message, as the VST2 build receives it: three bytes, unused ones zero.
  if (event.body.size > 3) return;
  MidiMessage message;
  message.status = bytes[0];
  if (event.body.size > 1) message.data1 = bytes[1];
  if (event.body.size > 2) message.data2 = bytes[2];
  effect->HandleMidi(message);
  // Passed on unchanged at the frame it took effect; a full output buffer drops it rather than
  // overrun.
  if (midiOutCapacity == 0) return;
  struct {
    LV2_Atom_Event head;
    uint8_t bytes[3];
  } echo{event, {}};
  echo.head.time.frames = frame;
  std::memcpy(echo.bytes, bytes, event.body.size);
  lv2_atom_sequence_append_event(midiOut, midiOutCapacity, &echo.head);
}

int32_t Lv2Plugin::ProgramStateSize() const {
  return 8 + 8 * effect->ParamCount();
}

} // namespace quorvane
