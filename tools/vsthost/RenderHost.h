// The host side of the VST 2.4 callback for the command-line host: answers
// the plug-in's questions (time, rate, block size, who we are) and counts
// what the plug-in sends back. One instance per process; the plug-in calls
// it on the host's main thread, which also renders.
#pragma once

#include "Vst2Interface.h"

#include <cstdint>

namespace vsthost {

class RenderHost {
public:
  static constexpr const char* kProductName = "Quorvane Render Host";
  static constexpr const char* kVendorName = "Quorvane";
  static constexpr int32_t kVendorVersion = 10000;

  RenderHost();
  ~RenderHost();
  RenderHost(const RenderHost&) = delete;
  RenderHost& operator=(const RenderHost&) = delete;

  audioMasterCallback Callback() const { return &RenderHost::Dispatch; }

  void SetSampleRate(double rate);
  void SetBlockSize(int32_t frames) { blockSize_ = frames; }
  // Moves the transport to this sample (called before every block).
  void SetPosition(double samplePos);

  int64_t MidiEventsReceived() const { return midiEventsReceived_; }
  int64_t AutomationCalls() const { return automationCalls_; }

private:
  static intptr_t VSTCALLBACK Dispatch(AEffect* effect, int32_t opcode, int32_t index,
                                       intptr_t value, void* ptr, float opt);
  intptr_t Answer(int32_t opcode, intptr_t value, void* ptr);

  static constexpr double kTempo = 120.0;

  VstTimeInfo time_{};
  int32_t blockSize_ = 512;
  int64_t midiEventsReceived_ = 0;
  int64_t automationCalls_ = 0;
};

} // namespace vsthost
