// The plug-in module's one effect, with its editor in an X11 window that
// draws the images built into the module.

#include "effect/VSTCLASS.h"
#include "effect/plugin/posix/X11Editor.h"
#include "framework/vst2/VstEntryPoint.h"

namespace quorvane {

IEffectVST* CreateEffectInstance(audioMasterCallback hostCallback) {
  return new VSTCLASS(hostCallback, &MakeX11Editor);
}

} // namespace quorvane
