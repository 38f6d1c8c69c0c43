#include "editor/IDropDown.h"

#include "editor/IDropDownChild.h"
#include "editor/IEditorSurface.h"
#include "editor/Nearest.h"

#include <memory>

namespace quorvane {

namespace {

std::int32_t RowHeight(const BitmapRef& image) {
  return NearestF(static_cast<float>(image.height) / static_cast<float>(image.frames));
}

} // namespace

IDropDown::IDropDown(IEffectBase* plugIn, std::int32_t index, int x, int y, const BitmapRef& bitmap,
                     const BitmapRef& list)
    : IControl(plugIn, Rect{x, y, x + list.width, y + RowHeight(list) + 1}, index), image(bitmap),
      listImage(list) {}

bool IDropDown::Paint(IEditorSurface& surface) {
  const std::int32_t n = image.frames;
  std::int32_t k = NearestD((n - 1) * value) + 1;
  if (k < 1) k = 1;
  if (k > n) k = n;
  // A pick in the list (or a host change once the list exists) shows up
  // here as a value that differs from the last one painted.
  if (childCreated && value != lastPaintedValue) {
    redrawPending = true;
    MarkDirty(true);
    child->SetHidden(true);
    listShown = false;
  }
  lastPaintedValue = value;
  surface.PaintBitmap(image,
                      Rect{drawRect.left, drawRect.top, drawRect.left + image.width,
                           drawRect.top + RowHeight(image)},
                      k, &blend, true);
  return true;
}

void IDropDown::HandleMouseDown(int, int, const MouseMods& mods) {
  if (mods.rightButton) {
    AskUserText();
    HideList();
  } else if (listShown) {
    HideList();
  } else if (childCreated) {
    listShown = true;
    child->SetHidden(false);
  } else if (IEditorSurface* surface = Surface()) {
    auto list = std::make_unique<IDropDownChild>(plug, &value, drawRect.left, drawRect.bottom - 1,
                                                 listImage);
    child = list.get();
    surface->AddControl(std::move(list));
    childCreated = true;
    listShown = true;
  }
  MarkDirty(true);
}

void IDropDown::HideList() {
  if (childCreated) child->SetHidden(true);
  listShown = false;
}

} // namespace quorvane
