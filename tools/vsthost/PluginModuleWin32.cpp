#include "PluginModule.h"

#include <windows.h>

namespace vsthost {

bool PluginModule::Load(const std::string& path, std::string& error) {
  Unload();
  HMODULE module = LoadLibraryA(path.c_str());
  if (module == nullptr) {
    error = path + ": cannot load the library (error " + std::to_string(GetLastError()) + ")";
    return false;
  }
  handle_ = module;
  return FindEntryPoint(path, error);
}

void PluginModule::Unload() {
  if (handle_ != nullptr) FreeLibrary(static_cast<HMODULE>(handle_));
  handle_ = nullptr;
  entry_ = nullptr;
}

void* PluginModule::Symbol(const char* name) const {
  if (handle_ == nullptr) return nullptr;
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
}

} // namespace vsthost
