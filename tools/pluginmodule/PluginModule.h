// A loaded plug-in library and its entry point: LoadLibraryW/GetProcAddress
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

  // Loads the library (a UTF-8 name) and finds "VSTPluginMain", or only
  // when that is absent "main", as older plug-ins export it. On failure
  // answers false with a reason in `error`.
  bool Load(const std::string& path, std::string& error);
  void Unload();

  VstPluginMainProc EntryPoint() const { return entry_; }
  // The name of the entry point in use.
  const char* EntryName() const { return entryName_; }
  // Looks up a symbol the library itself exports (tests check the exports).
  void* Symbol(const char* name) const;

private:
  // After the library is loaded: finds its entry point, or unloads it.
  bool FindEntryPoint(const std::string& path, std::string& error);
  // Whether calling the fallback "main" answers an effect without harm to
  // this process; a library's unrelated main would crash it.
  bool MainAnswersEffect(VstPluginMainProc entry) const;

  void* handle_ = nullptr;
  VstPluginMainProc entry_ = nullptr;
  const char* entryName_ = "";
};

} // namespace vsthost
