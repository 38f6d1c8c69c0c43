// The filter side of the effect: coefficient design and what the four
// filter parameters do to the effect's fields.

#include "effect/VSTCLASS.h"

namespace quorvane {

void VSTCLASS::UpdateCoefficients() {
  RedesignFilter(state);
}

void VSTCLASS::ApplyFilterParam(int32_t index, int32_t v, float p) {
  switch (index) {
  case kParamFilterType:
    // The memory of one section shape means nothing to another.
    if (static_cast<FilterKind>(v) != state.filterType) {
      state.left = FilterMemory{};
      state.right = FilterMemory{};
      state.filterType = static_cast<FilterKind>(v);
      UpdateCoefficients();
    }
    break;
  case kParamFilterFreq:
    state.baseFreq = state.freq = static_cast<float>(v);
    UpdateCoefficients();
    break;
  case kParamFilterBandwidth:
    state.baseBandwidth = state.bandwidth = p;
    UpdateCoefficients();
    break;
  case kParamFilterMix:
    state.baseMix = state.wet = p;
    state.dry = 1.0f - p;
    break;
  default:
    break;
  }
}

} // namespace quorvane
