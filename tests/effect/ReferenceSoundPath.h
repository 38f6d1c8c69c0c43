#pragma once
// The sound path as first written, one sample at a time: the envelope step,
// its routing, the exact coefficient design at every sample and the two
// sections with their per-sample tests. The tests hold the effect's block
// loops to it.

#include "effect/ProcessingState.h"

namespace quorvane {

// A note-on (on) or note-off as HandleMidi applied it.
void ReferenceNote(ProcessingState& s, bool on);

// One sample of the envelope: advances the stage and answers the target value.
float ReferenceEnvelopeValue(ProcessingState& s);

// Gain of the filtered signal for a target value within lo .. hi.
float ReferenceCompensation(const ProcessingState& s, float lo, float hi, float value);

// One sample of one channel; answers the output (0 for an unknown type).
double ReferenceFilterSample(FilterMemory& m, const ProcessingState& s, double rawInput,
                             double compFactor);

// The whole block, as ProcessBlock once computed it, on s; lo and hi are the
// target's range. Answers the last target value (unchanged with no target).
float ReferenceProcessBlock(ProcessingState& s, float lo, float hi, const double* inLeft,
                            const double* inRight, double* outLeft, double* outRight, int frames,
                            float lastValue = 0.0f);

} // namespace quorvane
