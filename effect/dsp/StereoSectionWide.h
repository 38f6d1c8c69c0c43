#pragma once
// The section's fast pass over the host's float buffers while the mix moves
// every frame: four frames per operation in AVX, for processors that have
// it; StereoSection chooses it when WideUnitsPresent(). Its file alone is compiled for
// those instructions, so nothing here may run before that choice.
// Audio thread; allocation-free.

#include "effect/dsp/StereoSection.h"

#include <emmintrin.h>

namespace quorvane {

// What a fast pass over a stretch found.
enum class SectionPass {
  Exact,          // outputs and memory final
  InputsNotPlain, // redo from the stash, cleaning the inputs
  Tripped,        // redo from the stash with every test
};

// A float input above this widens to a double above the silence (1e-15).
extern const float kFloatSilenceBelow;
// A narrowed output above this came from a double above the silence.
extern const float kFloatAboveSilence;

namespace wide {

// Frames offset .. offset + frames - 1 of a drive with wets and drys, replaced
// in the float outputs, as the section's own fast pass runs them and to the
// same bits. w1 and w2 hold both channels' memory; each frame's widened
// inputs go to the stash. Unless it answers Exact, w1, w2 and the outputs are
// not final.
SectionPass RunMixedPlain(FilterKind shape, const SectionDrive& drive, __m128d& w1, __m128d& w2,
                          const float* const inputs[2], float* const outputs[2], int offset,
                          int frames, __m128d* stash) noexcept;

} // namespace wide
} // namespace quorvane
