// A VST 2.4 event list as a host hands it to effProcessEvents: MIDI and SysEx events, events
// of other kinds and null entries, in order, as many as added (the record declares two; hosts
// allocate as many as they send). Adding allocates; Get does not, so a list built beforehand
// can be handed over on an audio path that must not allocate.
#pragma once

#include "framework/vst2/Vst2Interface.h"

#include <cstdint>
#include <deque>
#include <initializer_list>
#include <vector>

namespace quorvane {

// One MIDI message as a host sends it.
VstMidiEvent MakeMidi(int32_t deltaFrames, uint8_t status, uint8_t data1, uint8_t data2);

class VstEventList {
public:
  VstEventList() = default;
  VstEventList(std::initializer_list<VstMidiEvent> midi);
  VstEventList(const VstEventList&) = delete;
  VstEventList& operator=(const VstEventList&) = delete;

  // Copies the event; the list owns the copy.
  VstEventList& Add(const VstMidiEvent& event);
  VstEventList& Add(const VstMidiSysexEvent& event);
  // The caller's event (or null), as it is.
  VstEventList& AddRaw(VstEvent* event);

  VstEvents* Get() { return reinterpret_cast<VstEvents*>(words.data()); }
  // The copy of the i-th MIDI event added, for changing it between calls.
  VstMidiEvent& Midi(std::size_t i) { return midi[i]; }

private:
  std::deque<VstMidiEvent> midi;
  std::deque<VstMidiSysexEvent> sysex;
  // The record: numEvents, reserved, then one pointer per event; never fewer than two.
  std::vector<intptr_t> words = std::vector<intptr_t>(4, 0);
};

} // namespace quorvane
