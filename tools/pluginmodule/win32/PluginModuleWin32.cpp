#include "PluginModule.h"

#include "SystemError.h"
#include "win32/WideText.h"

#include <windows.h>

namespace vsthost {

bool PluginModule::Load(const std::string& path, std::string& error) {
  Unload();
  HMODULE module = LoadLibraryW(Wide(path).c_str());
  if (module == nullptr) {
    error = path + ": cannot load the library (" + LastSystemError() + ")";
    return false;
  }
  handle_ = module;
  return FindEntryPoint(path, error);
}

void PluginModule::Unload() {
  if (handle_ != nullptr) FreeLibrary(static_cast<HMODULE>(handle_));
  handle_ = nullptr;
  entry_ = nullptr;
  entryName_ = "";
}

void* PluginModule::Symbol(const char* name) const {
  if (handle_ == nullptr) return nullptr;
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
}

// GetProcAddress finds only this library's own exports; a DLL's exported
// main is taken at its word.
bool PluginModule::MainAnswersEffect(VstPluginMainProc) const {
  return true;
}

} // namespace vsthost
