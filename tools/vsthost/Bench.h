// The host's --bench mode: the cost of any VST 2.4 plug-ins' float
// processReplacing per stereo frame, and how many times faster than real
// time that is. Noise in, one note held, the plug-ins' rounds interleaved so
// that a busy machine slows all alike; the median round counts. Runs on the
// main thread, with an idle second one as any host has.
#pragma once

#include "Options.h"

namespace vsthost {

// The plug-ins are options.pluginPath and every further path given.
// Answers the exit status.
int RunBench(const Options& options);

} // namespace vsthost
