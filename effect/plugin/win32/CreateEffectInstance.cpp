// The plug-in module's one effect, with its editor in a Win32 window.

#include "editor_win32/IEditorWindow.h"
#include "effect/VSTCLASS.h"
#include "framework/vst2/VstEntryPoint.h"

namespace quorvane {

IEffectVST* CreateEffectInstance(audioMasterCallback hostCallback) {
  return new VSTCLASS(hostCallback, &IEditorWindow::Create);
}

} // namespace quorvane
