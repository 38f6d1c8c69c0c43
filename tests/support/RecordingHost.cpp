#include "tests/support/RecordingHost.h"

#include <cstring>

namespace quorvane {

namespace {

RecordingHost* gHost = nullptr;

intptr_t VSTCALLBACK RecordingCallback(AEffect* effect, int32_t opcode, int32_t index,
                                       intptr_t value, void* ptr, float opt) {
  RecordingHost* host = gHost;
  if (host == nullptr) return 0;
  host->calls.push_back({effect, opcode, index, value, opt});
  switch (opcode) {
  case audioMasterVersion:
    return kVstVersion;
  case audioMasterGetProductString:
    if (ptr != nullptr) {
      std::strncpy(static_cast<char*>(ptr), host->productString.c_str(), 63);
      static_cast<char*>(ptr)[63] = '\0';
    }
    return host->productString.empty() ? 0 : 1;
  case audioMasterGetVendorVersion:
    return host->vendorVersion;
  case audioMasterGetTime:
    return host->provideTime ? reinterpret_cast<intptr_t>(&host->time) : 0;
  case audioMasterProcessEvents: {
    const auto* list = static_cast<const VstEvents*>(ptr);
    if (list == nullptr) return 0;
    host->eventListSizes.push_back(list->numEvents);
    for (int32_t i = 0; i < list->numEvents; ++i) {
      const VstEvent* event = list->events[i];
      if (event != nullptr && event->type == kVstMidiType)
        host->midiReceived.push_back(*reinterpret_cast<const VstMidiEvent*>(event));
      if (event != nullptr && event->type == kVstSysExType)
        host->sysexReceived.push_back(*reinterpret_cast<const VstMidiSysexEvent*>(event));
    }
    return host->processEventsAnswer;
  }
  case audioMasterWantMidi:
    return 1;
  case audioMasterSizeWindow:
    return host->sizeWindowAnswer;
  default:
    return 0;
  }
}

} // namespace

RecordingHost::RecordingHost() {
  gHost = this;
  time.sampleRate = 44100.0;
  time.tempo = 120.0;
  time.timeSigNumerator = 3;
  time.timeSigDenominator = 4;
  time.flags = kVstTempoValid | kVstTimeSigValid | kVstTransportPlaying;
}

RecordingHost::~RecordingHost() {
  if (gHost == this) gHost = nullptr;
}

audioMasterCallback RecordingHost::Callback() const {
  return &RecordingCallback;
}

int RecordingHost::Count(int32_t opcode) const {
  int n = 0;
  for (const HostCall& call : calls)
    n += call.opcode == opcode ? 1 : 0;
  return n;
}

void RecordingHost::Clear() {
  calls.clear();
  midiReceived.clear();
  sysexReceived.clear();
  eventListSizes.clear();
}

} // namespace quorvane
