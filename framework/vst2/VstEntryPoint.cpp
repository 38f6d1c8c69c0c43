// The plug-in module's entry point, exported as "VSTPluginMain" and again as "main" (the name
// older hosts look for). Compiled into the module itself, not the framework library, so that
// only the module exports it.

#include "framework/vst2/VstEntryPoint.h"

#include "framework/PluginLock.h"

#if defined(_WIN32)
// Exports and the "main" alias come from the module-definition file.
#define QUORVANE_EXPORT
#else
#define QUORVANE_EXPORT __attribute__((visibility("default")))
#endif

extern "C" QUORVANE_EXPORT AEffect* VSTCALLBACK VSTPluginMain(audioMasterCallback hostCallback) {
  // Created on the first call, destroyed when the process ends; hosts may create instances
  // from several threads at once.
  static quorvane::PluginLock creationLock;
  quorvane::PluginLockGuard guard(creationLock);
  quorvane::IEffectVST* plugin = nullptr;
  try {
    plugin = quorvane::CreateEffectInstance(hostCallback);
    if (plugin == nullptr) return nullptr;
    plugin->FinishCreation();
    return plugin->Record();
  } catch (...) {
    delete plugin;
    return nullptr;
  }
}

#if !defined(_WIN32)
// A C++ function cannot be called main and answer a pointer; an assembler-level alias can.
extern "C" QUORVANE_EXPORT AEffect* VstMainAlias(audioMasterCallback hostCallback) __asm__("main")
    __attribute__((alias("VSTPluginMain")));
#endif
