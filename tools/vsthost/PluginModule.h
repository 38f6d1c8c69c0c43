// A loaded plug-in library and its entry point: LoadLibraryA/GetProcAddress
// on Windows, dlopen/dlsym elsewhere. Everything else a host does goes
// through the VST 2.4 interface. Used from the host's main thread.
#pragma once

#include "Vst2Interface.h"

#include <string>

namespace vsthost {

class PluginModule {
public:
  PluginModule() = default;
  ~PluginModule();
  PluginModule(const PluginModule&) = delete;
  PluginModule& operator=(const PluginModule&) = delete;

  // Loads the library and finds "VSTPluginMain", or "main" as older hosts
  // did. On failure answers false with a reason in `error`.
  bool Load(const std::string& path, std::string& error);
  void Unload();

  VstPluginMainProc EntryPoint() const { return entry_; }
  // Looks up any exported symbol (tests use it to check the exports).
  void* Symbol(const char* name) const;

private:
  // After the library is loaded: finds its entry point, or unloads it.
  bool FindEntryPoint(const std::string& path, std::string& error);

  void* handle_ = nullptr;
  VstPluginMainProc entry_ = nullptr;
};

} // namespace vsthost
