#pragma once
// A row or column of buttons of which exactly one is selected; with n
// buttons button i stands for the value i / (n - 1). With the strip flag the
// image shows every button in its selected look and only the selected
// button's part of it is drawn, so the background shows the others. Editor
// window thread.

#include "editor/IControl.h"

#include <vector>

namespace quorvane {

class IRadioButtons : public IControl {
public:
  static constexpr std::int32_t kHorizontal = 1;

  // One button per frame of the image. orientation kHorizontal puts them
  // side by side, any other value one under another. firstSize, secondSize
  // and thirdSize fix the first three buttons' lengths along the row (0 = an
  // equal share); later buttons but the last take the third's length and the
  // last takes what is left.
  IRadioButtons(IEffectBase* plug, std::int32_t paramIndex, int x, int y, const BitmapRef& image,
                bool strip, std::int32_t orientation, std::int32_t firstSize,
                std::int32_t secondSize, std::int32_t thirdSize);

  bool Paint(IEditorSurface& surface) override;
  void HandleMouseDown(int x, int y, const MouseMods& mods) override;

  const std::vector<Rect>& ButtonRects() const { return buttonRects; }

private:
  void LayOutStrip(int x, int y, std::int32_t firstSize, std::int32_t secondSize,
                   std::int32_t thirdSize);
  void LayOutSeparate(int x, int y);

  std::vector<Rect> buttonRects;
  BitmapRef image;
  bool vertical;
  bool strip;
};

} // namespace quorvane
