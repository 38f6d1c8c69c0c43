#include "editor/IDropDownChild.h"

#include "editor/IEditorSurface.h"

namespace quorvane {

IDropDownChild::IDropDownChild(IEffectBase* plugIn, RelaxedAtomic<double>* owner, int x, int y,
                               const BitmapRef& list)
    : IControl(plugIn, Rect{x, y, x + list.width, y + list.height}, -1), listImage(list),
      target(owner) {}

bool IDropDownChild::Paint(IEditorSurface& surface) {
  surface.PaintBitmapRegion(listImage, drawRect, 0, 0, &blend);
  return true;
}

void IDropDownChild::HandleMouseDown(int, int y, const MouseMods& mods) {
  const std::int32_t n = listImage.frames;
  if (mods.rightButton || n <= 0) {
    MarkDirty(true);
    return;
  }
  const float row = static_cast<float>(y - drawRect.top);
  std::int32_t picked = -1;
  for (std::int32_t i = 0; i < n; ++i) {
    if (static_cast<float>(i + 1) * static_cast<float>(listImage.height) / static_cast<float>(n) >
        row) {
      picked = i;
      break;
    }
  }
  if (picked < 0) {
    MarkDirty(true);
    return;
  }
  // A one-row list has a single value to pick.
  if (target) *target = n > 1 ? static_cast<double>(picked) / (n - 1) : 0.0;
  MarkDirty(true);
  SetHidden(true);
  MarkDirty(true);
}

} // namespace quorvane
