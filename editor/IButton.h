#pragma once
// A toggle button: a left click flips the value between 0 and 1; the image
// is drawn only while the value is above 0.5, so the background shows the
// released look. Editor window thread.

#include "editor/IControl.h"

namespace quorvane {

class IButton : public IControl {
public:
  // The rectangle is one frame of the image, with its top left at (x, y).
  IButton(IEffectBase* plug, std::int32_t paramIndex, int x, int y, const BitmapRef& image);

  bool Paint(IEditorSurface& surface) override;
  void HandleMouseDown(int x, int y, const MouseMods& mods) override;

  // The drawing of pressed buttons, shared with IButtonHold.
  static void PaintPressed(IEditorSurface& surface, const BitmapRef& image, const Rect& rect,
                           double value);
  static Rect FrameRect(int x, int y, const BitmapRef& image);

private:
  BitmapRef image;
};

} // namespace quorvane
