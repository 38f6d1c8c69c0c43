#pragma once
// The envelope strip: a small marker that shows, every frame, where the
// envelope's output lies within the range of the parameter it drives. It is
// linked to no parameter. On every timer tick it asks for a redraw only when
// the marker would land elsewhere or change colour, so an editor with nothing
// changing paints nothing.
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
  // True while the marker on the screen is not the one the readings give.
  bool NeedsRedraw() const override;

private:
  // The marker as a paint draws it; Unknown after a paint that did not cover
  // the whole strip, which may have left the screen with another picture.
  struct Marker {
    enum class Kind { Unknown, None, EmptyRange, AtValue };
    Kind kind = Kind::None;
    std::int32_t offset = 0; // from the strip's left edge, for AtValue

    bool operator==(const Marker& other) const {
      return kind != Kind::Unknown && kind == other.kind && offset == other.offset;
    }
  };

  Marker FromReadings() const;

  const GraphReadout* source = nullptr;
  Marker shown; // what the last paint drew
};

} // namespace quorvane
