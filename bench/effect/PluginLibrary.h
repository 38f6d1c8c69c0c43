#pragma once
// A VST2 plug-in library loaded from its path, for the benchmark: dlopen on
// Linux, LoadLibraryW on Windows. Benchmark thread only.

#include "framework/vst2/Vst2Interface.h"

#include <string>

struct PluginLibrary {
  void* handle = nullptr;
  VstPluginMainProc entry = nullptr; // VSTPluginMain
};

// The loaded library, or one with no entry (and why in error) when it cannot be loaded.
PluginLibrary LoadPluginLibrary(const std::string& path, std::string& error);
void UnloadPluginLibrary(PluginLibrary& library);
