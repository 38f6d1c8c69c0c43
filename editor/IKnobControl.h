#pragma once
// The dragging behaviour of knobs: a vertical (or horizontal) drag across
// dragScale times the control's size sweeps the whole range, ten times finer
// with shift or ctrl. Abstract; IKnobRotVal draws it. Editor window thread.

#include "editor/IControl.h"

namespace quorvane {

class IKnobControl : public IControl {
public:
  static constexpr std::int32_t kVertical = 0;
  static constexpr double kFineFactor = 10.0;

  void HandleDrag(int x, int y, int dX, int dY, const MouseMods& mods) override;

protected:
  // direction: kVertical, any other value drags horizontally.
  IKnobControl(IEffectBase* plug, const Rect& rect, std::int32_t paramIndex, std::int32_t direction,
               double dragScale);

  std::int32_t direction;
  double dragScale;
};

} // namespace quorvane
