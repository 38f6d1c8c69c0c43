#include "editor/IKnobControl.h"

#include <cmath>

namespace quorvane {

IKnobControl::IKnobControl(IEffectBase* plugIn, const Rect& rect, std::int32_t index,
                           std::int32_t dragDirection, double scale)
    : IControl(plugIn, rect, index), direction(dragDirection), dragScale(scale) {}

void IKnobControl::HandleDrag(int, int, int dX, int dY, const MouseMods& mods) {
  double g = dragScale;
  if (mods.shift || mods.ctrl) g *= kFineFactor;
  // Upwards (negative dY) raises the value, hence top - bottom.
  const double span = direction == kVertical ? static_cast<double>(drawRect.top) - drawRect.bottom
                                             : static_cast<double>(drawRect.right) - drawRect.left;
  const double move = direction == kVertical ? dY : dX;
  // A control without extent or a zero scale would turn the step into an
  // infinity or NaN and throw the knob to one end; it does not move instead.
  if (span != 0.0 && g != 0.0 && std::isfinite(g)) value += move / span / g;
  MarkDirty(true);
}

} // namespace quorvane
