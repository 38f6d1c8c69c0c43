#include "PluginModule.h"

#include <windows.h>

namespace vsthost {

PluginModule::~PluginModule() {
  Unload();
}

bool PluginModule::Load(const std::string& path, std::string& error) {
  Unload();
  HMODULE module = LoadLibraryA(path.c_str());
  if (module == nullptr) {
    error = path + ": cannot load the library (error " + std::to_string(GetLastError()) + ")";
    return false;
  }
  handle_ = module;
  void* entry = Symbol("VSTPluginMain");
  if (entry == nullptr) entry = Symbol("main");
  if (entry == nullptr) {
    error = path + ": exports neither VSTPluginMain nor main";
    Unload();
    return false;
  }
  entry_ = reinterpret_cast<VstPluginMainProc>(entry);
  return true;
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
