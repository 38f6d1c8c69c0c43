#pragma once

// The seam between the generic entry point and the one effect a plug-in module carries: the
// module defines this to construct its effect class. Called under the creation lock; may throw
// (the entry point catches) or answer null.

#include "framework/vst2/IEffectVST.h"

namespace quorvane {

IEffectVST* CreateEffectInstance(audioMasterCallback hostCallback);

} // namespace quorvane
