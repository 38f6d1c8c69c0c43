#include "../PluginLibrary.h"

#include <windows.h>

VstPluginMainProc LoadPluginEntry(const std::string& path, std::string& error) {
  const int wide = MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, nullptr, 0);
  std::wstring widePath(static_cast<std::size_t>(wide > 0 ? wide : 1), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, &widePath[0], wide);
  HMODULE library = LoadLibraryW(widePath.c_str());
  if (library == nullptr) {
    error = "LoadLibraryW failed for " + path;
    return nullptr;
  }
  auto entry = reinterpret_cast<VstPluginMainProc>(
      reinterpret_cast<void*>(GetProcAddress(library, "VSTPluginMain")));
  if (entry == nullptr) error = "no VSTPluginMain in " + path;
  return entry;
}
