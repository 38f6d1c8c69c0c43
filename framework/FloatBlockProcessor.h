#pragma once
// An effect that takes the host's float buffers as they are, instead of the
// plug-in base widening them into double buffers for ProcessBlock and
// narrowing the result back, registers one of these with its base. It must
// give exactly what that round trip would give. Audio thread, under the
// plug-in lock; the base calls it only while every channel is connected,
// with both of the host's arrays there and at least one frame.

#include <cstdint>

namespace quorvane {

class FloatBlockProcessor {
public:
  // Channels 0 .. count - 1 of inputs and outputs, frames each; the outputs
  // replaced or, when adding, added to. Answers false, having touched
  // nothing, when one of the buffers is missing: the base then takes its
  // general road, which reads silence there. The check is made here, where
  // the buffers are read anyway, so that a small block pays for it once.
  virtual bool ProcessFloatBlock(float** inputs, float** outputs, int32_t frames, bool adding) = 0;

protected:
  ~FloatBlockProcessor() = default;
};

} // namespace quorvane
