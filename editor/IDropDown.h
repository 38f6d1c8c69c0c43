#pragma once
// A selector that shows the current choice as one row of a picture and, when
// clicked, opens a list (an IDropDownChild attached to the surface as the
// topmost control) from which the user picks another row. The pick is
// written into this control's value and reaches the plug-in the next time
// this control is painted: the list overlaps it by one row of pixels, so
// every repaint of the list repaints it too. Editor window thread.
//
// States (list created, list shown): a left click on the button opens or
// closes the list; a pick of a new value hides the list and is pushed at the
// next paint; a pick of the same value hides the list but leaves it counted
// as shown, so the next click only completes the closing; a right click asks
// for a typed value and closes the list; a value from the host, once the list
// exists, is pushed back at the next paint and closes the list.

#include "editor/IControl.h"

namespace quorvane {

class IDropDownChild;

class IDropDown : public IControl {
public:
  // image: one frame per choice, stacked vertically; listImage: the open
  // list, one row per choice. The rectangle is one row of the list plus one
  // pixel, with its top left at (x, y).
  IDropDown(IEffectBase* plug, std::int32_t paramIndex, int x, int y, const BitmapRef& image,
            const BitmapRef& listImage);

  bool Paint(IEditorSurface& surface) override;
  void HandleMouseDown(int x, int y, const MouseMods& mods) override;

  // Owned by the surface once created; null before the first opening.
  IDropDownChild* Child() const { return child; }
  bool ListShown() const { return listShown; }
  bool ChildCreated() const { return childCreated; }

private:
  void HideList();

  IDropDownChild* child = nullptr;
  BitmapRef image;
  BitmapRef listImage;
  double lastPaintedValue = 0.0;
  bool listShown = false;
  bool childCreated = false;
};

} // namespace quorvane
