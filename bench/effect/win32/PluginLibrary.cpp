#include "../PluginLibrary.h"

#include <windows.h>

PluginLibrary LoadPluginLibrary(const std::string& path, std::string& error) {
  PluginLibrary library;
  const int wide = MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, nullptr, 0);
  std::wstring widePath(static_cast<std::size_t>(wide > 0 ? wide : 1), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, &widePath[0], wide);
  HMODULE module = LoadLibraryW(widePath.c_str());
  if (module == nullptr) {
    error = "LoadLibraryW failed for " + path;
    return library;
  }
  library.handle = module;
  library.entry = reinterpret_cast<VstPluginMainProc>(
      reinterpret_cast<void*>(GetProcAddress(module, "VSTPluginMain")));
  if (library.entry == nullptr) error = "no VSTPluginMain in " + path;
  return library;
}

void UnloadPluginLibrary(PluginLibrary& library) {
  if (library.handle != nullptr) FreeLibrary(static_cast<HMODULE>(library.handle));
  library = PluginLibrary{};
}
