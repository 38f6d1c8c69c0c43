#include "editor/IRadioButtons.h"

#include "editor/IEditorSurface.h"
#include "editor/Nearest.h"
#include "editor/RectMath.h"

namespace quorvane {

IRadioButtons::IRadioButtons(IEffectBase* plugIn, std::int32_t index, int x, int y,
                             const BitmapRef& bitmap, bool isStrip, std::int32_t orientation,
                             std::int32_t firstSize, std::int32_t secondSize,
                             std::int32_t thirdSize)
    : IControl(plugIn, Rect{x, y, x + bitmap.width, y + bitmap.height}, index), image(bitmap),
      vertical(orientation != kHorizontal), strip(isStrip) {
  if (strip)
    LayOutStrip(x, y, firstSize, secondSize, thirdSize);
  else
    LayOutSeparate(x, y);
}

void IRadioButtons::LayOutStrip(int x, int y, std::int32_t firstSize, std::int32_t secondSize,
                                std::int32_t thirdSize) {
  const std::int32_t n = image.frames;
  const std::int32_t along = vertical ? image.height : image.width;
  const std::int32_t share = along / n;
  const bool sized = firstSize != 0 || secondSize != 0 || thirdSize != 0;
  const std::int32_t fixed[3] = {firstSize, secondSize, thirdSize};
  std::int32_t position = vertical ? y : x;
  for (std::int32_t i = 0; i < n; ++i) {
    std::int32_t size;
    if (i == n - 1 && sized)
      size = along - firstSize - secondSize - thirdSize;
    else if (i == n - 1)
      size = share;
    else
      size = fixed[i < 3 ? i : 2] != 0 ? fixed[i < 3 ? i : 2] : share;
    buttonRects.push_back(vertical ? Rect{x, position, x + image.width, position + size}
                                   : Rect{position, y, position + size, y + image.height});
    position += size;
  }
}

void IRadioButtons::LayOutSeparate(int x, int y) {
  // Every button is the whole image, placed one after another.
  const std::int32_t n = image.frames;
  for (std::int32_t i = 0; i < n; ++i) {
    if (vertical)
      buttonRects.push_back(
          Rect{x, y + i * image.height, x + image.width, y + (i + 1) * image.height});
    else
      buttonRects.push_back(
          Rect{x + i * image.width, y, x + (i + 1) * image.width, y + image.height});
  }
  drawRect = vertical ? Rect{x, y, x + image.width, y + n * image.height}
                      : Rect{x, y, x + n * image.width, y + image.height};
  hitRect = drawRect;
}

bool IRadioButtons::Paint(IEditorSurface& surface) {
  const std::int32_t n = static_cast<std::int32_t>(buttonRects.size());
  if (n == 0) return true;
  std::int32_t k = NearestD((n - 1) * value) + 1;
  if (k < 1) k = 1;
  if (k > n) k = n;
  const Rect& button = buttonRects[static_cast<std::size_t>(k - 1)];
  if (strip) {
    const std::int32_t srcX = vertical ? 0 : button.left - drawRect.left;
    const std::int32_t srcY = vertical ? button.top - drawRect.top : 0;
    surface.PaintBitmapRegion(image, button, srcX, srcY, &blend);
  } else {
    surface.PaintBitmapRegion(image, button, 0, 0, &blend);
  }
  return true;
}

void IRadioButtons::HandleMouseDown(int x, int y, const MouseMods& mods) {
  if (mods.rightButton) {
    AskUserText();
  } else {
    const std::size_t n = buttonRects.size();
    for (std::size_t i = 0; i < n; ++i) {
      if (!RectContains(buttonRects[i], x, y)) continue;
      // A single button has no second value to tell apart: it selects clampLow.
      value = n > 1 ? static_cast<double>(i) / static_cast<double>(n - 1) : clampLow;
      break;
    }
  }
  MarkDirty(true);
}

} // namespace quorvane
