#pragma once
// A momentary button: its parameter reads 1 exactly while the left button is
// held on it, and 0 again on release, wherever the release happens (the
// surface delivers it to the capturing control). Drawn like IButton. Editor
// window thread.

#include "editor/IControl.h"

namespace quorvane {

class IButtonHold : public IControl {
public:
  IButtonHold(IEffectBase* plug, std::int32_t paramIndex, int x, int y, const BitmapRef& image);

  bool Paint(IEditorSurface& surface) override;
  void HandleMouseDown(int x, int y, const MouseMods& mods) override;
  void HandleMouseUp(int x, int y, const MouseMods& mods) override;

private:
  BitmapRef image;
};

} // namespace quorvane
