#include "editor/GRAPH.h"

#include "editor/IEditorSurface.h"
#include "editor/Nearest.h"

#include <cmath>

namespace quorvane {

namespace {
// A marker far outside the strip is not drawn anyway; the limit keeps its
// coordinates inside an int whatever the readings are.
constexpr std::int32_t kMarkerTravelLimit = 1 << 20;
} // namespace

GRAPH::GRAPH(IEffectBase* plugIn, int left, int top, int right, int bottom)
    : IControl(plugIn, Rect{left, top, right, bottom}, -1) {}

bool GRAPH::Paint(IEditorSurface& surface) {
  if (!source) return true;
  const GraphReadout::Reading shown = source->Read();
  if (!shown.graphEnabled) return true;
  const float minimum = shown.graphMin;
  const float maximum = shown.graphMax;
  const float reading = shown.graphValue;
  const Rect& strip = drawRect;
  if (maximum == minimum || std::isnan(minimum) || std::isnan(maximum)) {
    surface.PaintFilledRect(kEmptyRangeColor,
                            Rect{strip.left, strip.top, strip.left + kMarkerWidth, strip.bottom},
                            nullptr);
    return true;
  }
  // The marker spans the strip less its own width; readings outside the range
  // move it outside the strip.
  const float span = static_cast<float>(strip.right - strip.left - kMarkerWidth);
  std::int32_t p = NearestF((reading - minimum) * span / (maximum - minimum));
  if (p > kMarkerTravelLimit) p = kMarkerTravelLimit;
  if (p < -kMarkerTravelLimit) p = -kMarkerTravelLimit;
  surface.PaintFilledRect(
      kMarkerColor, Rect{strip.left + p, strip.top, strip.left + p + kMarkerWidth, strip.bottom},
      nullptr);
  return true;
}

bool GRAPH::NeedsRedraw() const {
  return true;
}

} // namespace quorvane
