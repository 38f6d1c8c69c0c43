#include "../PluginLibrary.h"

#include <dlfcn.h>

PluginLibrary LoadPluginLibrary(const std::string& path, std::string& error) {
  PluginLibrary library;
  library.handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library.handle == nullptr) {
    const char* why = dlerror();
    error = why != nullptr ? why : "dlopen failed";
    return library;
  }
  library.entry = reinterpret_cast<VstPluginMainProc>(dlsym(library.handle, "VSTPluginMain"));
  if (library.entry == nullptr) error = "no VSTPluginMain in " + path;
  return library;
}

void UnloadPluginLibrary(PluginLibrary& library) {
  if (library.handle != nullptr) dlclose(library.handle);
  library = PluginLibrary{};
}
