#pragma once

// One LV2 UI instance: the effect's editor in the host's X11 window, on an effect-like object
// that holds copies of the effect's parameters and nothing of its processing. A control's change
// goes to the host as a write to its control port; the host's port events move the controls and
// the envelope strip, which shows the plug-in's readout ports.
//
// Threads: Create, PortEvent, Idle and the destructor come from the host's UI thread. The editor
// works on its own window thread, under the plug-in lock, and its changes wait in a queue for
// Idle, since the host takes writes only on its UI thread.

#include "framework/GraphReadout.h"
#include "framework/IEffectBase.h"

#include <lv2/core/lv2.h>
#include <lv2/ui/ui.h>

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>

namespace quorvane {

class Lv2Ui : public IEffectBase {
public:
  // Null unless pluginUri is the module's plug-in and the host gives a parent window the editor
  // opens in. widget receives the editor's window.
  static std::unique_ptr<Lv2Ui> Create(const char* pluginUri, LV2UI_Write_Function write,
                                       LV2UI_Controller controller, LV2UI_Widget* widget,
                                       const LV2_Feature* const* features);
  // Closes the window before anything it draws from goes.
  ~Lv2Ui() override;

  // A control port's new value, or the readout's; other ports, formats and sizes, and values that
  // are not finite, are ignored.
  void PortEvent(uint32_t port, uint32_t bufferSize, uint32_t format, const void* buffer);
  // Hands the host the editor's changes, oldest first. Answers 0: the window stays open.
  int Idle();

  // The host side of the plug-in base, towards an LV2 host.
  void BeginHostGesture(int32_t) override {}
  void AutomateHost(int32_t index, double normalised) override;
  void EndHostGesture(int32_t) override {}
  void RefreshHostDisplay() override {}
  int32_t HostSamplePosition() override { return 0; }
  double HostTempo() override { return 0.0; }
  void HostTimeSignature(int32_t* numerator, int32_t* denominator) override;
  void UpdateEditorRect() override {}
  void ApplyHostQuirks() override {}
  bool SendMidiToHost(const MidiMessage&) override { return false; }
  bool SendSysExToHost(const SysExMessage&) override { return false; }

private:
  struct PortWrite {
    uint32_t port;
    float value;
  };
  // A host that stops calling Idle loses the oldest changes beyond this many, not memory.
  static constexpr std::size_t kMaxPendingWrites = 4096;

  Lv2Ui(const IEffectBase& model, LV2UI_Write_Function write, LV2UI_Controller controller);

  LV2UI_Write_Function write;
  LV2UI_Controller controller;
  GraphReadout readout;
  std::mutex pendingLock;
  std::deque<PortWrite> pending;
};

} // namespace quorvane
