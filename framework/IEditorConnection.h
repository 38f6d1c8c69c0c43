#pragma once

// What the plug-in base needs from an attached editor surface. The editor framework's surface
// implements it; the plug-in base owns the surface from attachment on and destroys it with
// itself. Called with the plug-in lock held, on whichever thread made the change (the host's
// user-interface or audio thread); implementations only record values and flags here and leave
// drawing to their own timer.

#include <cstdint>

namespace quorvane {

class IEditorConnection {
public:
  static constexpr int32_t kDefaultFrameRate = 24;

  virtual ~IEditorConnection() = default;

  // Hands a value to every control bound to parameter index; a value in the parameter's own
  // units (normalised false) is normalised by the control side.
  virtual void PushParamToControls(int32_t index, double value, bool normalised) = 0;
  // Called once after attachment, when every control holds its first value.
  virtual void PrepareBackBuffer() = 0;
  // Timer ticks per second.
  virtual int32_t FrameRate() const { return kDefaultFrameRate; }
  // After this many ticks the editor calls IEffectBase::FlushHostGesture.
  virtual void StartEndEditCountdown(int32_t ticks) = 0;
  virtual void ClearEndEditCountdown() = 0;

  // Window side, used by the host binding. The defaults describe an editor without a window.
  virtual int32_t EditorWidth() const { return 0; }
  virtual int32_t EditorHeight() const { return 0; }
  // Opens the editor window inside the host's window; answers the new window or null.
  virtual void* OpenEditorWindow(void* hostWindow) {
    (void)hostWindow;
    return nullptr;
  }
  virtual void CloseEditorWindow() {}
  // The screen scale the host asks the editor to draw at (1 = as built); true when taken.
  virtual bool SetHostScale(float factor) {
    (void)factor;
    return false;
  }
  // The host gives the editor's window width x height pixels: the editor takes the largest scale
  // it fits in, the host asked as for any scale change; false (nothing changes) when none fits.
  virtual bool FitHostSize(int32_t width, int32_t height) {
    (void)width;
    (void)height;
    return false;
  }
  // A wheel step forwarded by the host; true if the pointer was over the editor and it was used.
  virtual bool HostWheel(float step) {
    (void)step;
    return false;
  }
};

} // namespace quorvane
