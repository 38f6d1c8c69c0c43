#pragma once
// A VST2 plug-in library loaded from its path, for the benchmark: dlopen on
// Linux, LoadLibraryW on Windows. The library stays loaded for the program's
// life. Benchmark thread only.

#include "framework/vst2/Vst2Interface.h"

#include <string>

// The library's VSTPluginMain, or null (with why in error) when it cannot be loaded.
VstPluginMainProc LoadPluginEntry(const std::string& path, std::string& error);
