#include "framework/DeferredGesture.h"

namespace quorvane {

void DeferredGesture::Defer(int32_t index, IEditorConnection& editor) {
  pending = index;
  const int32_t ticks = editor.FrameRate() / 2;
  editor.StartEndEditCountdown(ticks > 1 ? ticks : 1);
}

int32_t DeferredGesture::Take() {
  const int32_t index = pending;
  pending = kNone;
  return index;
}

} // namespace quorvane
