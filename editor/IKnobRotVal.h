#pragma once
// A rotary knob: a bitmap turned about a pivot through `sweep` degrees as
// the value goes from 0 to 1 (upright at 0.5), with the parameter's display
// text and unit centred in a line below it. With a two-frame strip the left
// frame turns and the right frame is drawn upright over it (a fixed cap).
// Editor window thread.

#include "editor/IKnobControl.h"
#include "raster/TextStyle.h"

namespace quorvane {

class IKnobRotVal : public IKnobControl {
public:
  // (x, y) is the pivot. The rectangle is the image (one frame wide, or
  // sizeOverride wide when that is not 0) centred on the pivot, with room for
  // the text line textGap pixels below it. textGap <= 0: no text.
  IKnobRotVal(IEffectBase* plug, std::int32_t paramIndex, int x, int y, const BitmapRef& image,
              const TextStyle& textStyle, std::int32_t textGap, std::int32_t sweep,
              double dragScale, std::int32_t sizeOverride, std::int32_t direction);

  bool Paint(IEditorSurface& surface) override;

  // The rotation for the current value, in radians; 0 at mid value.
  double Angle() const;

private:
  void PaintReadout(IEditorSurface& surface);

  TextStyle textStyle;
  BitmapRef image;
  std::int32_t centreX;
  std::int32_t centreY;
  std::int32_t textGap;
  std::int32_t sweep;
};

} // namespace quorvane
