// The plug-in module's one effect.

#include "VSTCLASS.h"
#include "vst2/VstEntryPoint.h"

IEffectVST* CreateEffectInstance(audioMasterCallback hostCallback) {
  return new VSTCLASS(hostCallback);
}
