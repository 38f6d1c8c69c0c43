#pragma once
// Runs the rest of a scope on the wide units where the processor has them,
// or on the baseline code, so tests hold both to the same answers.

#include "effect/dsp/WideUnits.h"

namespace quorvane {

class UnitsInUse {
public:
  explicit UnitsInUse(bool wide) { AllowWideUnits(wide); }
  ~UnitsInUse() { AllowWideUnits(true); }
  UnitsInUse(const UnitsInUse&) = delete;
  UnitsInUse& operator=(const UnitsInUse&) = delete;
};

} // namespace quorvane
