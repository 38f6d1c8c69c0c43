// The plug-in module's one effect. No editor window on Linux yet: the effect
// gets no factory and announces no editor.

#include "effect/VSTCLASS.h"
#include "framework/vst2/VstEntryPoint.h"

namespace quorvane {

IEffectVST* CreateEffectInstance(audioMasterCallback hostCallback) {
  return new VSTCLASS(hostCallback);
}

} // namespace quorvane
