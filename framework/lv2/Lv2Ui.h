#pragma once

// One LV2 UI instance: the effect's editor in the host's X11 window, on an effect-like object
// that holds copies of the effect's parameters and nothing of its processing. A control's change
// goes to the host as a write to its control port; the host's port events move the controls and
// the envelope strip, which shows the plug-in's readout ports.
//
// The editor's gestures reach a host that offers ui:touch as grabs and releases of the port, in
// order with the writes; its size reaches a host that offers ui:resize whenever it changes.
//
// Threads: Create, PortEvent, Idle, ResizeFromHost and the destructor come from the host's UI
// thread. The editor works on its own window thread, under the plug-in lock, and its changes,
// gestures and sizes wait for Idle, since the host takes calls only on its UI thread.

#include "framework/GraphReadout.h"
#include "framework/IEffectBase.h"

#include <lv2/core/lv2.h>
#include <lv2/ui/ui.h>

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>

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
  // Hands the host the editor's changes and gestures, oldest first, then its new size. Answers 0:
  // the window stays open.
  int Idle();
  // The host's window is now width x height: the editor takes the largest scale it fits in.
  // Answers 0, or 1 (nothing changes) when the window is smaller than the editor at 100 %.
  int ResizeFromHost(int width, int height);

  // The host side of the plug-in base, towards an LV2 host.
  void BeginHostGesture(int32_t index) override;
  void AutomateHost(int32_t index, double normalised) override;
  void EndHostGesture(int32_t index) override;
  void RefreshHostDisplay() override {}
  int32_t HostSamplePosition() override { return 0; }
  double HostTempo() override { return 0.0; }
  void HostTimeSignature(int32_t* numerator, int32_t* denominator) override;
  void UpdateEditorRect() override {}
  // Taken when the host offers ui:resize, and told in the next Idle; a host that refuses it
  // there gets the editor back at the size its window has.
  bool ResizeHostWindow(int32_t width, int32_t height) override;
  void ApplyHostQuirks() override {}
  bool SendMidiToHost(const MidiMessage&) override { return false; }
  bool SendSysExToHost(const SysExMessage&) override { return false; }

private:
  struct HostCall {
    enum class Kind { Write, Grab, Release };
    Kind kind;
    uint32_t port;
    float value; // for a write
  };
  struct Size {
    int width, height;
    bool operator==(const Size& other) const {
      return width == other.width && height == other.height;
    }
  };
  // A host that stops calling Idle loses the oldest writes beyond this many, not memory.
  static constexpr std::size_t kMaxPendingCalls = 4096;

  Lv2Ui(const IEffectBase& model, LV2UI_Write_Function write, LV2UI_Controller controller,
        const LV2UI_Touch* touch, const LV2UI_Resize* resize);

  void Queue(const HostCall& call);
  void DeliverPendingCalls();
  // Tells the host the editor's size; a refusal takes the editor back to the last size it took.
  void AnnounceSize(Size size);
  // The host's window size as last known (pendingLock guards it: the editor's thread asks too).
  Size KnownHostSize();
  // Answers the size as it was known.
  Size ExchangeHostSize(Size size);

  LV2UI_Write_Function write;
  LV2UI_Controller controller;
  const LV2UI_Touch* touch;   // null: the host hears no gestures
  const LV2UI_Resize* resize; // null: the editor keeps its size while open
  GraphReadout readout;
  std::mutex pendingLock;
  std::deque<HostCall> pending;
  std::optional<Size> pendingSize;
  Size hostSize{0, 0}; // what the host's window was last known to hold
};

} // namespace quorvane
