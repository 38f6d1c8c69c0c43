#include "editor/IControl.h"

#include "editor/IEditorSurface.h"
#include "editor/RectMath.h"

#include "framework/IEffectBase.h"

namespace quorvane {

IControl::IControl(IEffectBase* plugIn, const Rect& rect, std::int32_t index)
    : plug(plugIn), drawRect(rect), hitRect(rect), paramIndex(index) {}

IControl::~IControl() = default;

void IControl::HandleMouseDown(int, int, const MouseMods& mods) {
  if (mods.rightButton) AskUserText();
}

void IControl::HandleMouseUp(int, int, const MouseMods&) {}

void IControl::HandleDrag(int, int, int, int, const MouseMods&) {}

void IControl::HandleDoubleClick(int, int, const MouseMods&) {
  if (defaultValue < 0.0) return;
  value = defaultValue;
  MarkDirty(true);
}

void IControl::HandleWheel(int, int, const MouseMods& mods, int notches) {
  const double step = (mods.shift || mods.ctrl) ? kFineWheelStep : kWheelStep;
  value += notches * step;
  MarkDirty(true);
}

void IControl::HandleKey(int, int, int) {}

void IControl::HandleHover(int, int, const MouseMods&) {}

void IControl::HandleLeave() {}

void IControl::AcceptPlugValue(double v) {
  // The first value from the plug-in side is the one a double-click restores,
  // and it is always shown, even when it equals the initial value.
  if (defaultValue < 0.0) {
    defaultValue = v;
  } else if (v == value) {
    return;
  }
  value = v;
  MarkDirty(false);
  redrawPending = true;
}

void IControl::AcceptUserValue(double v) {
  if (v != value) value = v;
  MarkDirty(true);
  redrawPending = true;
}

void IControl::SetHidden(bool hide) {
  hidden = hide;
  // Two frames, so the area is repainted even if the control became hidden
  // after the frame's dirty rectangle was collected.
  redrawPending = true;
  MarkDirty(false);
}

void IControl::SetGrayed(bool gray) {
  grayed = gray;
  blend.weight = gray ? kGrayedWeight : 1.0f;
  MarkDirty(false);
}

bool IControl::HitTest(int x, int y) const {
  return RectContains(hitRect, x, y);
}

void IControl::MarkDirty(bool push) {
  // Written so that NaN (for instance 0 / 0 from a one-button selector) ends at
  // clampLow: the plug-in never receives a value outside the clamp range.
  if (!(value >= clampLow)) value = clampLow;
  if (value > clampHigh) value = clampHigh;
  dirty = true;
  if (push && plug && paramIndex >= 0) plug->ApplyEditorChange(paramIndex, value);
}

void IControl::MarkClean() {
  // One step, so a redraw the plug-in side asks for meanwhile is not lost.
  dirty = redrawPending.Exchange(false);
}

bool IControl::NeedsRedraw() const {
  return dirty;
}

void IControl::SpareHook() {}

void IControl::AskUserText() {
  IParameter* param = Param();
  IEditorSurface* surface = Surface();
  if (!param || !surface) return;
  surface->PromptParamInput(this, param);
  redrawPending = true;
}

void IControl::FinishUserEdit() {
  MarkDirty(true);
  redrawPending = true;
}

IParameter* IControl::Param() const {
  return plug ? plug->Param(paramIndex) : nullptr;
}

IEditorSurface* IControl::Surface() const {
  return plug ? dynamic_cast<IEditorSurface*>(plug->Editor()) : nullptr;
}

} // namespace quorvane
