#include "editor/IKnobRotVal.h"

#include "editor/IEditorSurface.h"
#include "editor/Nearest.h"
#include "editor/ValueText.h"

#include <cmath>

namespace quorvane {

namespace {

constexpr double kPi = 3.14159265358979323846;

Rect KnobRect(int x, int y, const BitmapRef& image, const TextStyle& style, std::int32_t gap,
              std::int32_t sizeOverride) {
  const std::int32_t hh = NearestF(static_cast<float>(image.height) * 0.5f);
  const std::int32_t hw =
      sizeOverride != 0
          ? sizeOverride / 2
          : NearestF(static_cast<float>(image.width) / static_cast<float>(image.frames) * 0.5f);
  return Rect{x - hw, y - hh, x + hw, y + hh + style.size + gap};
}

} // namespace

IKnobRotVal::IKnobRotVal(IEffectBase* plugIn, std::int32_t index, int x, int y,
                         const BitmapRef& bitmap, const TextStyle& style, std::int32_t gap,
                         std::int32_t sweepDegrees, double scale, std::int32_t sizeOverride,
                         std::int32_t dragDirection)
    : IKnobControl(plugIn, KnobRect(x, y, bitmap, style, gap, sizeOverride), index, dragDirection,
                   scale),
      textStyle(style), image(bitmap), centreX(x), centreY(y), textGap(gap), sweep(sweepDegrees) {}

double IKnobRotVal::Angle() const {
  // Both factors are rounded to single precision before use.
  const double a = static_cast<float>(sweep * kPi * (1.0 / 360.0));
  const double b = static_cast<float>(sweep * -kPi * (1.0 / 360.0));
  return a * value * 2.0 + b;
}

bool IKnobRotVal::Paint(IEditorSurface& surface) {
  if (textGap > 0) PaintReadout(surface);
  if (image.IsEmpty()) return true;
  // The source is shifted by up to one pixel toward either end of the range
  // (none at mid value).
  const float shift = -static_cast<float>(std::fabs(value - 0.5) * 2.0);
  if (image.frames > 1) {
    if (cache.width == 0)
      cache = surface.CropBitmap(
          image, Rect{0, 0, NearestF(static_cast<float>(image.width) * 0.5f), image.height});
    surface.PaintRotatedBitmap(cache, centreX, centreY, Angle(), &blend, shift, shift);
    const float w = static_cast<float>(image.width) / static_cast<float>(image.frames) * 0.5f;
    const Rect cap{NearestF(static_cast<float>(centreX) - w), drawRect.top,
                   NearestF(static_cast<float>(centreX) + w),
                   drawRect.bottom - textGap - textStyle.size};
    surface.PaintBitmap(image, cap, image.frames, &blend, false);
  } else {
    surface.PaintRotatedBitmap(image, centreX, centreY, Angle(), &blend, shift, shift);
  }
  return true;
}

void IKnobRotVal::PaintReadout(IEditorSurface& surface) {
  char text[ValueText::kSize];
  if (!ValueText::Format(Param(), text)) return;
  textStyle.alignment = TextStyle::kAlignCentre;
  surface.PaintText(
      textStyle, text,
      Rect{drawRect.left, drawRect.bottom - textStyle.size, drawRect.right, drawRect.bottom});
}

} // namespace quorvane
