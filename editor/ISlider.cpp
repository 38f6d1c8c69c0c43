#include "editor/ISlider.h"

#include "editor/IEditorSurface.h"
#include "editor/Nearest.h"
#include "editor/RectMath.h"
#include "editor/ValueText.h"

namespace quorvane {

ISlider::ISlider(IEffectBase* plugIn, std::int32_t index, const Rect& area, const BitmapRef& handle,
                 const TextStyle& style, const Color& colour, std::int32_t trackLength,
                 std::int32_t barThickness, std::int32_t orientation)
    : IControl(plugIn, area, index), textStyle(style), trackColor(colour), image(handle),
      length(trackLength), thickness(barThickness), vertical(orientation == kVerticalOrientation) {
  if (vertical) {
    travel = length - image.height;
    const float m = static_cast<float>(area.left + area.right) * 0.5f;
    const float half = static_cast<float>(image.width) * 0.5f;
    track = Rect{NearestF(m - half), area.top, NearestF(m + half), area.top + length};
  } else {
    travel = length - image.width;
    const float m = static_cast<float>(area.left + area.right) * 0.5f;
    const float half = static_cast<float>(length / 2);
    track = Rect{NearestF(m - half), area.top, NearestF(m + half), area.top + image.height};
  }
}

bool ISlider::Paint(IEditorSurface& surface) {
  char text[ValueText::kSize];
  if (ValueText::Format(Param(), text)) {
    textStyle.alignment = TextStyle::kAlignCentre;
    surface.PaintText(
        textStyle, text,
        Rect{drawRect.left, drawRect.bottom - textStyle.size, drawRect.right, drawRect.bottom});
  }

  const std::int32_t h = thickness / 2;
  Rect bar;
  Rect knob;
  if (vertical) {
    const float m = static_cast<float>(track.left + track.right) * 0.5f;
    bar = Rect{NearestF(m - static_cast<float>(h)),
               NearestD((1.0 - value) * travel + image.height / 2 + track.top),
               NearestF(m + static_cast<float>(h)), track.top + image.height + travel - 1};
    const std::int32_t p = NearestD((1.0 - value) * travel + track.top);
    knob = Rect{track.left, p, track.right, p + image.height};
  } else {
    const float m = static_cast<float>(track.top + track.bottom) * 0.5f;
    bar = Rect{track.left + 1, NearestF(m - static_cast<float>(h)),
               NearestD(travel * value + image.width / 2 + track.left),
               NearestF(m + static_cast<float>(h))};
    knob = Rect{NearestD(track.left + travel * value), track.top,
                NearestD(track.left + image.width + travel * value), drawRect.bottom};
  }
  surface.PaintFilledRect(trackColor, bar, nullptr);
  surface.PaintBitmap(image, knob, 1, &blend, true);
  return true;
}

void ISlider::HandleMouseDown(int x, int y, const MouseMods& mods) {
  if (mods.rightButton) {
    AskUserText();
    return;
  }
  if (RectContains(track, x, y)) SetFromPosition(x, y);
}

void ISlider::HandleDrag(int x, int y, int, int, const MouseMods&) {
  // Steps outside the track are ignored: the handle stays where it last was.
  if (RectContains(track, x, y)) SetFromPosition(x, y);
}

void ISlider::SetFromPosition(int x, int y) {
  // The pointer marks the handle's centre; MarkDirty's clamp keeps the ends.
  if (vertical) {
    const float along = static_cast<float>(y - track.top) - static_cast<float>(image.height) * 0.5f;
    value = 1.0 - static_cast<double>(along) / travel;
  } else {
    const float along = static_cast<float>(x - track.left) - static_cast<float>(image.width) * 0.5f;
    value = static_cast<double>(along) / travel;
  }
  MarkDirty(true);
}

} // namespace quorvane
