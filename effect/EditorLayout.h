#pragma once
// The effect's editor: a 507 x 248 panel painted from the nine editor
// images, with the background and sixteen controls at the places
// EditorGeometry gives, each bound to its parameter. Built on the neutral
// editor surface of whatever window the factory makes, once, by the
// effect's constructor (after the parameters are defined), whether or not
// the host ever opens the editor; the plug-in base owns it from then on.
//
// Threads: the thread that constructs the effect.

#include "effect/EditorWindowFactory.h"

namespace quorvane {

class GraphReadout;

struct EditorLayout {
  // The maker's page for its plug-ins, and its main site if that fails.
  static constexpr const char* kMakerPluginsUrl = "https://kelto.example/plugins";
  static constexpr const char* kMakerHomeUrl = "https://kelto.example/";
};

// Fills the window makeWindow makes with the controls and attaches it to
// effect; the envelope strip follows envelope, which must outlive the editor.
// Nothing happens when makeWindow makes no window.
void BuildQuorvaneEditor(IEffectBase& effect, EditorWindowFactory makeWindow,
                         const GraphReadout& envelope);

} // namespace quorvane
