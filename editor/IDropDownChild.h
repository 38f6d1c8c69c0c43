#pragma once
// The open list of an IDropDown: the whole list picture; a click on a row
// writes that row's value into the owning drop-down and hides the list. It
// talks to no parameter: the drop-down pushes the pick from its next paint.
// Editor window thread.

#include "editor/IControl.h"

namespace quorvane {

class IDropDownChild : public IControl {
public:
  // target: the owning drop-down's value, which outlives this list (both
  // belong to the same surface, which destroys them together).
  IDropDownChild(IEffectBase* plug, RelaxedAtomic<double>* target, int x, int y,
                 const BitmapRef& listImage);

  bool Paint(IEditorSurface& surface) override;
  void HandleMouseDown(int x, int y, const MouseMods& mods) override;

private:
  BitmapRef listImage;
  RelaxedAtomic<double>* target;
};

} // namespace quorvane
