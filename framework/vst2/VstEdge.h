#pragma once

// The C edge of the VST 2.4 binding: the dispatcher, parameter and audio callbacks stored in
// the effect record. Each finds the plug-in through the record's object field, forwards into
// IEffectVST and catches everything, so nothing is thrown into the host.

#include "framework/vst2/Vst2Interface.h"

namespace quorvane {

// Stores the six callbacks in the record.
void InstallVstCallbacks(AEffect& record);

} // namespace quorvane
