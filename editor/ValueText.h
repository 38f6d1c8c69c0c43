#pragma once
// The read-out line of knobs and sliders: the parameter's display text of its
// current value with its unit appended directly (no space).

#include <cstddef>

namespace quorvane {

class IParameter;

class ValueText {
public:
  // Room for the longest display text (a long number) plus the unit.
  static constexpr std::size_t kSize = 128;

  // Writes the text into out (kSize bytes); false, with out empty, when
  // there is no parameter or its display text is empty.
  static bool Format(const IParameter* param, char (&out)[kSize]);
};

} // namespace quorvane
