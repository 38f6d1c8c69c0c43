#pragma once
// The envelope strip: a small marker that shows, every frame, where the
// envelope's output lies within the range of the parameter it drives. It is
// linked to no parameter and redraws on every timer tick.
//
// Threads: the effect writes the four readings on the audio thread (under the
// plug-in lock); the window thread reads them while painting without a lock.
// Each reading is atomic on its own; a paint may combine a value and a range
// from different blocks, which only misplaces the marker for one frame.

#include "editor/IControl.h"
#include "raster/Color.h"

#include <atomic>

namespace quorvane {

class GRAPH : public IControl {
public:
  static constexpr std::int32_t kMarkerWidth = 6;
  static constexpr Color kMarkerColor{150, 255, 255, 255}; // translucent white
  static constexpr Color kEmptyRangeColor{222, 255, 0, 0}; // red

  GRAPH(IEffectBase* plug, int left, int top, int right, int bottom);

  // Audio thread.
  void SetGraphValue(float v) { graphValue.store(v, std::memory_order_relaxed); }
  void SetGraphRange(float minimum, float maximum) {
    graphMin.store(minimum, std::memory_order_relaxed);
    graphMax.store(maximum, std::memory_order_relaxed);
  }
  void SetGraphEnabled(bool enabled) { graphEnabled.store(enabled, std::memory_order_relaxed); }

  float GraphValue() const { return graphValue.load(std::memory_order_relaxed); }
  float GraphMin() const { return graphMin.load(std::memory_order_relaxed); }
  float GraphMax() const { return graphMax.load(std::memory_order_relaxed); }
  bool GraphEnabled() const { return graphEnabled.load(std::memory_order_relaxed); }

  bool Paint(IEditorSurface& surface) override;
  // Always true: the marker follows the envelope at the frame rate.
  bool NeedsRedraw() const override;

private:
  std::atomic<float> graphValue{0.0f};
  std::atomic<float> graphMin{0.0f};
  std::atomic<float> graphMax{0.0f};
  std::atomic<bool> graphEnabled{false};
};

} // namespace quorvane
