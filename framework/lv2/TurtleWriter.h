#pragma once

// Writes the LV2 bundle's description from the effect itself, so that the parameter and program
// tables stay the one source of truth: the manifest, the plug-in's ports and the factory
// programs as presets. Used by the build-time generator, on its only thread.

#include "framework/lv2/Lv2Module.h"

#include <string>

namespace quorvane {

struct Lv2TurtleFiles {
  std::string manifest; // manifest.ttl
  std::string plugin;   // kLv2PluginFile
  std::string presets;  // kLv2PresetsFile
};

inline constexpr const char* kLv2PluginFile = "Quorvane.ttl";
inline constexpr const char* kLv2PresetsFile = "presets.ttl";

// binaryFile: the module's file name inside the bundle. effect should be freshly made: its
// current values are taken as the ports' defaults.
Lv2TurtleFiles WriteLv2Turtle(const IEffectBase& effect, const Lv2ModuleInfo& module,
                              const std::string& binaryFile);

} // namespace quorvane
