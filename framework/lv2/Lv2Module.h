#pragma once

// The seam between the LV2 binding and the one effect a plug-in module carries: the plug-in
// module and the UI module define the first three functions, the UI module BuildLv2Editor too.
// The binding calls them from the host's instantiation thread, the .ttl generator from its only
// thread.

#include "framework/GraphReadout.h"
#include "framework/IEffectBase.h"

#include <cstdint>
#include <memory>

namespace quorvane {

struct Lv2ModuleInfo {
  // Hosts store these in their sessions: they never change.
  const char* pluginUri;
  const char* uiUri;
  const char* homepage;
  // A parameter that acts as a momentary button (-1 for none), and the name it is shown under
  // when the effect gives it none.
  int32_t triggerParam;
  const char* triggerName;
  // The name of the output ports that show the effect's readout.
  const char* readoutName;
};

const Lv2ModuleInfo& Lv2Module();

// A new instance of the effect that makes no host calls of its own; null or a throw on failure.
std::unique_ptr<IEffectBase> CreateLv2Effect();

// What effect (one CreateLv2Effect made) publishes for its editor's strip; null for nothing.
const GraphReadout* Lv2EffectReadout(const IEffectBase& effect);

// Builds the effect's editor, in the platform's window, on uiEffect (whose parameters are the
// effect's); its strip follows readout. False when there is no editor.
bool BuildLv2Editor(IEffectBase& uiEffect, const GraphReadout& readout);

} // namespace quorvane
