#pragma once

// The seam between the LV2 binding and the one effect a plug-in module carries: the module
// defines both functions. The binding calls them from the host's instantiation thread, the
// .ttl generator from its only thread.

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
};

const Lv2ModuleInfo& Lv2Module();

// A new instance of the effect that makes no host calls of its own; null or a throw on failure.
std::unique_ptr<IEffectBase> CreateLv2Effect();

} // namespace quorvane
