#pragma once
// A slider: a handle bitmap that moves along a track, a bar filled from the
// start of the track to the handle's centre, and the parameter's display text
// centred in the bottom line of the area. Clicks and drags inside the track
// put the handle's centre under the pointer. Editor window thread.

#include "editor/IControl.h"
#include "raster/Color.h"
#include "raster/TextStyle.h"

namespace quorvane {

class ISlider : public IControl {
public:
  static constexpr std::int32_t kVerticalOrientation = 0;

  // length: the track's length in pixels; thickness: the bar's; orientation
  // kVerticalOrientation or any other value for horizontal.
  ISlider(IEffectBase* plug, std::int32_t paramIndex, const Rect& area, const BitmapRef& handle,
          const TextStyle& textStyle, const Color& trackColor, std::int32_t length,
          std::int32_t thickness, std::int32_t orientation);

  bool Paint(IEditorSurface& surface) override;
  void HandleMouseDown(int x, int y, const MouseMods& mods) override;
  void HandleDrag(int x, int y, int dX, int dY, const MouseMods& mods) override;

  const Rect& Track() const { return track; }
  std::int32_t Travel() const { return travel; }

private:
  void SetFromPosition(int x, int y);

  TextStyle textStyle;
  Color trackColor;
  Rect track;
  BitmapRef image;
  std::int32_t length;
  std::int32_t travel;
  std::int32_t thickness;
  bool vertical;
};

} // namespace quorvane
