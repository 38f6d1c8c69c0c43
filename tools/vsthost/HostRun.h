// One run of the command-line host from parsed options to exit status:
// checks every option before any work, loads the plug-in, applies the state,
// prints the report, renders each input and saves what was asked for.
// Runs on the process's main thread.
#pragma once

#include "Options.h"

namespace vsthost {

constexpr int kExitSuccess = 0;
constexpr int kExitFailure = 1; // something failed at run time
constexpr int kExitUsage = 2;   // the command line asks for something impossible

int RunHost(const Options& options);

} // namespace vsthost
