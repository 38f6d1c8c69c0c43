#include "editor/IBitmapControl.h"

#include "editor/IEditorSurface.h"
#include "editor/Nearest.h"

namespace quorvane {

namespace {

// One frame of the strip: frames stacked vertically share the width, frames
// side by side share the height.
Rect FrameRect(int x, int y, const BitmapRef& image, bool verticalFrames) {
  if (verticalFrames) return Rect{x, y, x + image.width, y + image.height / image.frames};
  return Rect{x, y, x + image.width / image.frames, y + image.height};
}

} // namespace

IBitmapControl::IBitmapControl(IEffectBase* plugIn, int x, int y, std::int32_t index,
                               const BitmapRef& bitmap, bool vertical)
    : IControl(plugIn, FrameRect(x, y, bitmap, vertical), index), verticalFrames(vertical),
      image(bitmap) {}

bool IBitmapControl::Paint(IEditorSurface& surface) {
  std::int32_t frame = 1;
  if (image.frames >= 2) {
    frame = TruncToInt((image.frames - 1) * value + 0.5) + 1;
    if (frame < 1) frame = 1;
    if (frame > image.frames) frame = image.frames;
  }
  surface.PaintBitmap(image, drawRect, frame, &blend, verticalFrames);
  return true;
}

} // namespace quorvane
