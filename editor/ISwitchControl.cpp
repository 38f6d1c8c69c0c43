#include "editor/ISwitchControl.h"

namespace quorvane {

namespace {
// Past the last state by more than rounding error: back to the first.
constexpr double kWrapAbove = 1.001;
} // namespace

void ISwitchControl::HandleMouseDown(int, int, const MouseMods& mods) {
  if (mods.rightButton)
    AskUserText();
  else
    value += image.frames > 1 ? 1.0 / (image.frames - 1) : 1.0;
  if (value > kWrapAbove) value = 0.0;
  MarkDirty(true);
}

} // namespace quorvane
