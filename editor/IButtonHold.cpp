#include "editor/IButtonHold.h"

#include "editor/IButton.h"

namespace quorvane {

IButtonHold::IButtonHold(IEffectBase* plugIn, std::int32_t index, int x, int y,
                         const BitmapRef& bitmap)
    : IControl(plugIn, IButton::FrameRect(x, y, bitmap), index), image(bitmap) {}

bool IButtonHold::Paint(IEditorSurface& surface) {
  IButton::PaintPressed(surface, image, drawRect, value);
  return true;
}

void IButtonHold::HandleMouseDown(int, int, const MouseMods& mods) {
  if (!mods.rightButton) value = 1.0;
  MarkDirty(true);
}

void IButtonHold::HandleMouseUp(int, int, const MouseMods&) {
  value = 0.0;
  MarkDirty(true);
}

} // namespace quorvane
