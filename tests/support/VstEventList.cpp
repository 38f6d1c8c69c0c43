#include "tests/support/VstEventList.h"

namespace quorvane {

namespace {

constexpr std::size_t kHeaderWords = 2;

} // namespace

VstMidiEvent MakeMidi(int32_t deltaFrames, uint8_t status, uint8_t data1, uint8_t data2) {
  VstMidiEvent event{};
  event.type = kVstMidiType;
  event.byteSize = sizeof(VstMidiEvent);
  event.deltaFrames = deltaFrames;
  event.midiData[0] = static_cast<char>(status);
  event.midiData[1] = static_cast<char>(data1);
  event.midiData[2] = static_cast<char>(data2);
  return event;
}

VstEventList::VstEventList(std::initializer_list<VstMidiEvent> events) {
  for (const VstMidiEvent& event : events)
    Add(event);
}

VstEventList& VstEventList::Add(const VstMidiEvent& event) {
  midi.push_back(event);
  return AddRaw(reinterpret_cast<VstEvent*>(&midi.back()));
}

VstEventList& VstEventList::Add(const VstMidiSysexEvent& event) {
  sysex.push_back(event);
  return AddRaw(reinterpret_cast<VstEvent*>(&sysex.back()));
}

VstEventList& VstEventList::AddRaw(VstEvent* event) {
  const int32_t count = Get()->numEvents;
  const std::size_t slot = kHeaderWords + static_cast<std::size_t>(count);
  if (words.size() < slot + 1) words.resize(slot + 1, 0);
  words[slot] = reinterpret_cast<intptr_t>(event);
  Get()->numEvents = count + 1;
  return *this;
}

} // namespace quorvane
