// The plug-in module's one effect.

#include "effect/VSTCLASS.h"
#include "framework/vst2/VstEntryPoint.h"

namespace quorvane {

IEffectVST* CreateEffectInstance(audioMasterCallback hostCallback) {
  return new VSTCLASS(hostCallback);
}

} // namespace quorvane
