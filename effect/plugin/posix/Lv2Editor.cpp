// The LV2 UI module's editor: the effect's own layout, in the X11 window.

#include "effect/EditorLayout.h"
#include "effect/plugin/posix/X11Editor.h"
#include "framework/lv2/Lv2Module.h"

namespace quorvane {

bool BuildLv2Editor(IEffectBase& uiEffect, const GraphReadout& readout) {
  BuildQuorvaneEditor(uiEffect, &MakeX11Editor, readout);
  return uiEffect.Editor() != nullptr;
}

} // namespace quorvane
