#pragma once
// The base of every element of the editor: a rectangle on the editor
// surface, an optional link to one plug-in parameter, a normalised value in
// 0..1 and the flags of the redraw handshake.
//
// Threads: everything runs on the editor window's thread, except
// AcceptPlugValue, which the plug-in base calls (through the surface's
// PushParamToControls) on whichever thread changed a parameter, with the
// plug-in lock held. A control never talks to the host itself: a user change
// goes to the plug-in base with MarkDirty(true), which takes the plug-in lock
// inside ApplyEditorChange. The value and the redraw flags are therefore
// relaxed atomics: the window thread reads them while another thread writes.

#include "editor/BitmapRef.h"
#include "editor/Blend.h"
#include "editor/MouseMods.h"
#include "raster/Rect.h"

#include "framework/RelaxedAtomic.h"

#include <cstdint>

namespace quorvane {

class IEffectBase;
class IParameter;
class IEditorSurface;

class IControl {
public:
  static constexpr double kWheelStep = 0.01;
  static constexpr double kFineWheelStep = 0.001;
  static constexpr float kGrayedWeight = 0.25f;

  // plug may be null (a control that talks to no plug-in); paramIndex -1
  // means no parameter.
  IControl(IEffectBase* plug, const Rect& rect, std::int32_t paramIndex);
  virtual ~IControl();
  IControl(const IControl&) = delete;
  IControl& operator=(const IControl&) = delete;

  //==========================================================================
  // The control's operations, in table order.

  // The base asks for a typed value on a right click.
  virtual void HandleMouseDown(int x, int y, const MouseMods& mods);
  virtual void HandleMouseUp(int x, int y, const MouseMods& mods);
  virtual void HandleDrag(int x, int y, int dX, int dY, const MouseMods& mods);
  // The base restores the first value the plug-in gave, if any.
  virtual void HandleDoubleClick(int x, int y, const MouseMods& mods);
  // The base steps the value by 0.01 a notch (0.001 with shift or ctrl).
  virtual void HandleWheel(int x, int y, const MouseMods& mods, int notches);
  virtual void HandleKey(int x, int y, int key);
  virtual void HandleHover(int x, int y, const MouseMods& mods);
  virtual void HandleLeave();
  // Draws the control with the surface's drawing operations; true.
  virtual bool Paint(IEditorSurface& surface) = 0;
  // A value from the plug-in side: stored and redrawn, never pushed back.
  virtual void AcceptPlugValue(double v);
  // A value the user typed or picked in a prompt: stored and pushed.
  virtual void AcceptUserValue(double v);
  virtual void SetHidden(bool hide);
  virtual void SetGrayed(bool gray);
  virtual bool HitTest(int x, int y) const;
  // Clamps the value, asks for a redraw and, with push, hands the value to
  // the plug-in base.
  virtual void MarkDirty(bool push);
  // Called by the surface after the control's turn in every paint.
  virtual void MarkClean();
  virtual bool NeedsRedraw() const;
  // Reserved; nothing calls it.
  virtual void SpareHook();

  //==========================================================================

  // Opens the window's prompt for the linked parameter; nothing without one.
  void AskUserText();
  // The window calls it when a prompt closes, committed or not: the value is
  // pushed once more.
  void FinishUserEdit();

  // The linked parameter, looked up on demand; null when there is none.
  IParameter* Param() const;
  // The editor surface attached to the plug-in, or null.
  IEditorSurface* Surface() const;

  IEffectBase* Plug() const { return plug; }
  const Rect& DrawRect() const { return drawRect; }
  const Rect& HitRect() const { return hitRect; }
  std::int32_t ParamIndex() const { return paramIndex; }
  double Value() const { return value; }
  double DefaultValue() const { return defaultValue; }
  bool IsDirty() const { return dirty; }
  bool IsHidden() const { return hidden; }
  bool IsGrayed() const { return grayed; }
  bool IsRedrawPending() const { return redrawPending; }
  const Blend& GetBlend() const { return blend; }
  void SetBlend(const Blend& b) { blend = b; }
  bool DblClickAsDown() const { return dblClickAsDown; }
  void SetDblClickAsDown(bool asDown) { dblClickAsDown = asDown; }
  // The text is not copied; it must outlive the control.
  const char* Tooltip() const { return tooltip; }
  void SetTooltip(const char* text) { tooltip = text; }

protected:
  IEffectBase* plug;
  Rect drawRect;
  Rect hitRect;
  BitmapRef cache;
  std::int32_t paramIndex;
  RelaxedAtomic<double> value{0.0};
  double defaultValue = -1.0; // negative: no value received from the plug-in yet
  double clampLow = 0.0;
  double clampHigh = 1.0;
  RelaxedAtomic<bool> dirty{true};
  bool hidden = false;
  bool grayed = false;
  RelaxedAtomic<bool> redrawPending{false};
  Blend blend;
  bool dblClickAsDown = false;
  const char* tooltip = nullptr;
};

} // namespace quorvane
