// The editor's picture: opens the plug-in's editor in a window of the
// host's, waits a few frames and saves what it shows as PNG, through a
// temporary file renamed over the target. Windows build only for now; runs
// on the host's main thread, which owns the window.
#pragma once

#include "VstPlugin.h"

#include <string>

namespace vsthost {

bool SaveScreenshot(const VstPlugin& plugin, const std::string& path, std::string& error);

} // namespace vsthost
