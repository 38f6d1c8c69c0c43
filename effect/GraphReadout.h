#pragma once

// What the editor's envelope marker strip shows: where the envelope's latest
// output lies within the range of the value it drives. The effect writes it
// under the plug-in lock (the range and flag from OnParamChange, the value at
// the end of every block); the strip reads it while painting, without a lock.
//
// The effect owns one of these and writes it through its graph pointer,
// which is never null. An editor's marker strip plugs in either by providing
// readings of its own for the pointer to aim at, or by taking these readings
// when it paints.

namespace quorvane {

struct GraphReadout {
  float graphValue = 0.0f;   // the envelope's latest output, in the target's units
  float graphMin = 0.0f;     // lower end of the target's range
  float graphMax = 0.0f;     // upper end of the target's range
  bool graphEnabled = false; // a target is assigned; false = nothing to show
};

} // namespace quorvane
