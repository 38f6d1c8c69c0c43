#pragma once
// The filter's second-order section for both channels: their memory and the
// loops that run it over a block, with the dry/wet mix and the volume
// compensation. Audio thread (under the plug-in lock); allocation-free.
//
// Per channel and frame, with in the input made clean (zero when non-finite
// or below 1e-15 in magnitude):
//   w0  = gain * in - (a2 * w2 + a1 * w1), or 0 while in, w1 and w2 are all
//         below 1e-15 (decayed memory becomes exact zero, never denormal);
//         an overflow clears the memory;
//   out = shape(in, w0, w1, w2) * factor * wet + dry * in, made clean (for
//         float buffers also zero where a float cannot hold it).
// The loop runs without those per-sample tests and redoes a stretch exactly
// from its saved memory only when one of them would have acted in it.

#include "effect/FilterDesign.h"
#include "effect/ProcessingState.h"

namespace quorvane {

// What drives the section when every frame has the same coefficients and mix.
struct FixedDrive {
  FilterCoefficients coefficients{};
  float factor = 1.0f; // volume compensation of the filtered part
  float wet = 1.0f;
  float dry = 0.0f;
};

// What drives the section over a run of frames: per-frame arrays where given,
// otherwise the fixed values.
struct SectionDrive : FixedDrive {
  const double* gain = nullptr; // the three coefficient arrays come together
  const double* a1 = nullptr;
  const double* a2 = nullptr;
  const float* factors = nullptr;
  const float* wets = nullptr; // wets and drys come together; factors or the fixed factor
  const float* drys = nullptr;
};

// How float results reach the host's buffers.
enum class FloatOutput { Replace, Add };

class StereoSection {
public:
  // The section runs on memory its owner keeps, one record per channel.
  StereoSection(FilterMemory& leftMemory, FilterMemory& rightMemory) noexcept
      : left(leftMemory), right(rightMemory) {}

  // Filters frames of the two inputs into the two outputs. An input may be
  // the same buffer as an output, even crosswise. A kind other than the
  // three shapes writes nothing.
  void Run(FilterKind kind, const SectionDrive& drive, const double* const inputs[2],
           double* const outputs[2], int frames) noexcept;
  // The same for the host's float buffers: widened on reading, narrowed on
  // writing, each output replaced or added to.
  void Run(FilterKind kind, const SectionDrive& drive, const float* const inputs[2],
           float* const outputs[2], int frames, FloatOutput mode) noexcept;
  // The same with one drive for every frame. Its own entry, so that the
  // small blocks of a fixed filter pay for no test of arrays it has not.
  void Run(FilterKind kind, const FixedDrive& drive, const double* const inputs[2],
           double* const outputs[2], int frames) noexcept;
  void Run(FilterKind kind, const FixedDrive& drive, const float* const inputs[2],
           float* const outputs[2], int frames, FloatOutput mode) noexcept;

private:
  FilterMemory& left;
  FilterMemory& right;
};

} // namespace quorvane
