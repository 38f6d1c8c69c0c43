#include "RenderHost.h"

#include <cstring>

namespace vsthost {
namespace {

RenderHost* gHost = nullptr;

void CopyText(void* ptr, const char* text, size_t capacity) {
  if (ptr == nullptr) return;
  std::strncpy(static_cast<char*>(ptr), text, capacity - 1);
  static_cast<char*>(ptr)[capacity - 1] = '\0';
}

} // namespace

RenderHost::RenderHost() {
  gHost = this;
  SetSampleRate(44100.0);
  time_.timeSigNumerator = 4;
  time_.timeSigDenominator = 4;
  time_.flags = kVstTransportPlaying | kVstPpqPosValid | kVstTempoValid | kVstTimeSigValid;
  time_.tempo = kTempo;
}

RenderHost::~RenderHost() {
  if (gHost == this) gHost = nullptr;
}

void RenderHost::SetSampleRate(double rate) {
  time_.sampleRate = rate;
}

void RenderHost::SetPosition(double samplePos) {
  time_.samplePos = samplePos;
  time_.ppqPos = samplePos / time_.sampleRate * kTempo / 60.0;
}

intptr_t VSTCALLBACK RenderHost::Dispatch(AEffect*, int32_t opcode, int32_t, intptr_t value,
                                          void* ptr, float) {
  return gHost != nullptr ? gHost->Answer(opcode, value, ptr) : 0;
}

intptr_t RenderHost::Answer(int32_t opcode, intptr_t, void* ptr) {
  switch (opcode) {
  case audioMasterVersion:
    return kVstVersion;
  case audioMasterAutomate:
    ++automationCalls_;
    return 0;
  case audioMasterWantMidi:
    return 1;
  case audioMasterGetTime:
    return reinterpret_cast<intptr_t>(&time_);
  case audioMasterProcessEvents:
    if (ptr != nullptr) midiEventsReceived_ += static_cast<VstEvents*>(ptr)->numEvents;
    return 1;
  case audioMasterGetSampleRate:
    return static_cast<intptr_t>(time_.sampleRate);
  case audioMasterGetBlockSize:
    return blockSize_;
  case audioMasterGetCurrentProcessLevel:
    return 4; // offline rendering
  case audioMasterGetVendorString:
    CopyText(ptr, kVendorName, 64);
    return 1;
  case audioMasterGetProductString:
    CopyText(ptr, kProductName, 64);
    return 1;
  case audioMasterGetVendorVersion:
    return kVendorVersion;
  default:
    return 0;
  }
}

} // namespace vsthost
