#pragma once
// A multi-state switch: each left click moves to the next frame of its strip
// and wraps to the first after the last. Editor window thread.

#include "editor/IBitmapControl.h"

namespace quorvane {

class ISwitchControl : public IBitmapControl {
public:
  using IBitmapControl::IBitmapControl;

  void HandleMouseDown(int x, int y, const MouseMods& mods) override;
};

} // namespace quorvane
