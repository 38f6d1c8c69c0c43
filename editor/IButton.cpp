#include "editor/IButton.h"

#include "editor/IEditorSurface.h"

namespace quorvane {

IButton::IButton(IEffectBase* plugIn, std::int32_t index, int x, int y, const BitmapRef& bitmap)
    : IControl(plugIn, FrameRect(x, y, bitmap), index), image(bitmap) {}

bool IButton::Paint(IEditorSurface& surface) {
  PaintPressed(surface, image, drawRect, value);
  return true;
}

void IButton::HandleMouseDown(int, int, const MouseMods& mods) {
  if (!mods.rightButton) value = value <= 0.5 ? 1.0 : 0.0;
  MarkDirty(true);
}

void IButton::PaintPressed(IEditorSurface& surface, const BitmapRef& image, const Rect& rect,
                           double value) {
  // No blend: drawn through the image's alpha at full weight, grayed or not.
  if (value > 0.5) surface.PaintBitmap(image, rect, 1, nullptr, true);
}

Rect IButton::FrameRect(int x, int y, const BitmapRef& image) {
  return Rect{x, y, x + image.width, y + image.height / image.frames};
}

} // namespace quorvane
