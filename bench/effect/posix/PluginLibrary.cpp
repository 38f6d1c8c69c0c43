#include "../PluginLibrary.h"

#include <dlfcn.h>

VstPluginMainProc LoadPluginEntry(const std::string& path, std::string& error) {
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    const char* why = dlerror();
    error = why != nullptr ? why : "dlopen failed";
    return nullptr;
  }
  auto entry = reinterpret_cast<VstPluginMainProc>(dlsym(library, "VSTPluginMain"));
  if (entry == nullptr) error = "no VSTPluginMain in " + path;
  return entry;
}
