// The plug-in's report as the command-line host prints it: identity,
// inputs and outputs, parameters and programs.
#pragma once

#include "VstPlugin.h"

#include <string>

namespace vsthost {

std::string PluginReport(const VstPlugin& plugin);

// A decimal version number (major * 10000 + minor * 100 + patch) as "1.2.3".
std::string DecimalVersionText(intptr_t version);

} // namespace vsthost
