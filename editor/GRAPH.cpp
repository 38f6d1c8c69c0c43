#include "editor/GRAPH.h"

#include "editor/IEditorSurface.h"
#include "editor/Nearest.h"

#include <cmath>

namespace quorvane {

namespace {
// A marker far outside the strip is not drawn anyway; the limit keeps its
// coordinates inside an int whatever the readings are.
constexpr std::int32_t kMarkerTravelLimit = 1 << 20;

bool Covers(const Rect& outer, const Rect& inner) {
  return outer.left <= inner.left && outer.top <= inner.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}
} // namespace

GRAPH::GRAPH(IEffectBase* plugIn, int left, int top, int right, int bottom)
    : IControl(plugIn, Rect{left, top, right, bottom}, -1) {}

GRAPH::Marker GRAPH::FromReadings() const {
  if (!source) return Marker{};
  const GraphReadout::Reading reading = source->Read();
  if (!reading.graphEnabled) return Marker{};
  const float minimum = reading.graphMin;
  const float maximum = reading.graphMax;
  if (maximum == minimum || std::isnan(minimum) || std::isnan(maximum))
    return Marker{Marker::Kind::EmptyRange, 0};
  // The marker spans the strip less its own width; readings outside the range
  // move it outside the strip.
  const float span = static_cast<float>(drawRect.right - drawRect.left - kMarkerWidth);
  std::int32_t p = NearestF((reading.graphValue - minimum) * span / (maximum - minimum));
  if (p > kMarkerTravelLimit) p = kMarkerTravelLimit;
  if (p < -kMarkerTravelLimit) p = -kMarkerTravelLimit;
  return Marker{Marker::Kind::AtValue, p};
}

bool GRAPH::Paint(IEditorSurface& surface) {
  const Marker marker = FromReadings();
  // The marker is not clipped to the painted area: only a paint of the whole
  // strip is sure to have put this marker, and no other, on the screen.
  shown = Covers(surface.RedrawRect(), drawRect) ? marker : Marker{Marker::Kind::Unknown, 0};
  const Rect& strip = drawRect;
  switch (marker.kind) {
  case Marker::Kind::EmptyRange:
    surface.PaintFilledRect(kEmptyRangeColor,
                            Rect{strip.left, strip.top, strip.left + kMarkerWidth, strip.bottom},
                            nullptr);
    break;
  case Marker::Kind::AtValue:
    surface.PaintFilledRect(kMarkerColor,
                            Rect{strip.left + marker.offset, strip.top,
                                 strip.left + marker.offset + kMarkerWidth, strip.bottom},
                            nullptr);
    break;
  case Marker::Kind::None:
  case Marker::Kind::Unknown:
    break;
  }
  return true;
}

bool GRAPH::NeedsRedraw() const {
  return IControl::NeedsRedraw() || !(FromReadings() == shown);
}

} // namespace quorvane
