// A host callback for tests that records every call a plug-in makes and answers like a
// well-behaved host: product text, vendor version, time information, MIDI accepted. One
// instance at a time (the callback finds it through a process-wide pointer).
#pragma once

#include "framework/vst2/Vst2Interface.h"

#include <string>
#include <vector>

namespace quorvane {

struct HostCall {
  AEffect* effect;
  int32_t opcode;
  int32_t index;
  intptr_t value;
  float opt;
};

class RecordingHost {
public:
  RecordingHost();
  ~RecordingHost();
  RecordingHost(const RecordingHost&) = delete;
  RecordingHost& operator=(const RecordingHost&) = delete;

  audioMasterCallback Callback() const;

  int Count(int32_t opcode) const;
  void Clear();

  // What the host answers.
  std::string productString = "Recording Host";
  intptr_t vendorVersion = 1000;
  bool provideTime = true;
  VstTimeInfo time{};
  intptr_t processEventsAnswer = 1;
  intptr_t sizeWindowAnswer = 1;

  // What the plug-in did.
  std::vector<HostCall> calls;
  std::vector<VstMidiEvent> midiReceived;
  std::vector<VstMidiSysexEvent> sysexReceived;
  std::vector<int32_t> eventListSizes;
};

} // namespace quorvane
