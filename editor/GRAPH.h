#pragma once
// The envelope strip: a small marker that shows, every frame, where the
// envelope's output lies within the range of the parameter it drives. It is
// linked to no parameter and redraws on every timer tick.
//
// Threads: the window thread. The effect publishes the readings in a
// GraphReadout without knowing the strip; the strip takes them from there on
// every tick, while it paints, without a lock (see GraphReadout for what a
// reading may mix).

#include "editor/IControl.h"
#include "framework/GraphReadout.h"
#include "raster/Color.h"

namespace quorvane {

class GRAPH : public IControl {
public:
  static constexpr std::int32_t kMarkerWidth = 6;
  static constexpr Color kMarkerColor{150, 255, 255, 255}; // translucent white
  static constexpr Color kEmptyRangeColor{222, 255, 0, 0}; // red

  GRAPH(IEffectBase* plug, int left, int top, int right, int bottom);

  // The readings to show from the next tick on; the readout must outlive the
  // strip's last paint. Without one the strip shows nothing.
  void Follow(const GraphReadout* readout) { source = readout; }

  bool Paint(IEditorSurface& surface) override;
  // Always true: the marker follows the envelope at the frame rate.
  bool NeedsRedraw() const override;

private:
  const GraphReadout* source = nullptr;
};

} // namespace quorvane
