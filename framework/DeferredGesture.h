#pragma once

// The gesture a run of mouse-wheel steps leaves open: its end is deferred until the editor's
// countdown runs out, another gesture begins or the window closes. IEffectBase owns one and calls
// it under the plug-in lock, from whichever thread made the change.

#include "framework/IEditorConnection.h"

#include <cstdint>

namespace quorvane {

class DeferredGesture {
public:
  static constexpr int32_t kNone = -1;

  // index stays open; the editor counts half a second of its ticks (at least one) down.
  void Defer(int32_t index, IEditorConnection& editor);
  // The open gesture's parameter, now closed, or kNone.
  int32_t Take();
  int32_t Pending() const { return pending; }

private:
  int32_t pending = kNone;
};

} // namespace quorvane
