#pragma once
// A picture from a strip of equal frames, showing the frame that matches its
// value: the editor's background (one frame, no parameter) and the base of
// the multi-state switch. Editor window thread.

#include "editor/IControl.h"

namespace quorvane {

class IBitmapControl : public IControl {
public:
  // The rectangle is one frame of the image, with its top left at (x, y).
  IBitmapControl(IEffectBase* plug, int x, int y, std::int32_t paramIndex, const BitmapRef& image,
                 bool verticalFrames);

  bool Paint(IEditorSurface& surface) override;

  const BitmapRef& Image() const { return image; }

protected:
  bool verticalFrames;
  BitmapRef image;
};

} // namespace quorvane
