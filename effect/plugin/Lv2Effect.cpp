// The LV2 module's one effect and its identity towards LV2 hosts.

#include "effect/EditorLayout.h"
#include "effect/VSTCLASS.h"
#include "framework/lv2/Lv2Module.h"

#include <string>

namespace quorvane {

const Lv2ModuleInfo& Lv2Module() {
  static const std::string pluginUri = std::string(EditorLayout::kMakerPluginsUrl) + "/quorvane";
  static const std::string uiUri = pluginUri + "#ui";
  static const Lv2ModuleInfo info = {pluginUri.c_str(), uiUri.c_str(), EditorLayout::kMakerHomeUrl,
                                     VSTCLASS::kParamEnvReset, "Envelope Reset"};
  return info;
}

std::unique_ptr<IEffectBase> CreateLv2Effect() {
  // No VST2 host: the effect then never calls one.
  return std::make_unique<VSTCLASS>(nullptr);
}

} // namespace quorvane
