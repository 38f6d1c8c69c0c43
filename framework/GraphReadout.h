#pragma once
// What an effect publishes for its editor's graph: a value and the range it
// lies in (for this effect, the envelope's latest output within the range of
// the target it drives), and whether there is anything to show.
//
// Threads: one writer, the effect, under the plug-in lock (the range and the
// flag from parameter changes, the value at the end of every block on the
// audio thread); readers on any thread without the lock -- the editor reads
// it on its timer tick. Each field is a relaxed atomic of its own, so a
// reading may combine a value and a range from different blocks, which
// misplaces a marker for one frame at most. Publishing never allocates,
// blocks or calls the system.

#include "framework/RelaxedAtomic.h"

namespace quorvane {

class GraphReadout {
public:
  struct Reading {
    float graphValue = 0.0f;   // in the range's units
    float graphMin = 0.0f;     // lower end of the range
    float graphMax = 0.0f;     // upper end of the range
    bool graphEnabled = false; // false: nothing to show
  };

  void PublishValue(float value) { graphValue = value; }
  void PublishRange(float minimum, float maximum) {
    graphMin = minimum;
    graphMax = maximum;
  }
  void PublishEnabled(bool enabled) { graphEnabled = enabled; }

  Reading Read() const { return Reading{graphValue, graphMin, graphMax, graphEnabled}; }

private:
  RelaxedAtomic<float> graphValue{0.0f};
  RelaxedAtomic<float> graphMin{0.0f};
  RelaxedAtomic<float> graphMax{0.0f};
  RelaxedAtomic<bool> graphEnabled{false};
};

} // namespace quorvane
