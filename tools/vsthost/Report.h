// The plug-in's report as the command-line host prints it: identity,
// inputs and outputs, parameters and programs, as text or as JSON.
// Called on the host's main thread.
#pragma once

#include "ParamCatalogue.h"
#include "VstPlugin.h"

#include <string>
#include <vector>

namespace vsthost {

// `entryName`: the entry point the plug-in was created through.
std::string PluginReport(const VstPlugin& plugin, const std::string& entryName);

// The same facts for programs to read, with each parameter's range, default
// and value names from `params` (ProbeParams).
std::string PluginJson(const VstPlugin& plugin, const std::vector<ParamInfo>& params,
                       const std::string& entryName);

// A decimal version number (major * 10000 + minor * 100 + patch) as "1.2.3".
std::string DecimalVersionText(intptr_t version);

} // namespace vsthost
