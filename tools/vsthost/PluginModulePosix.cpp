#include "PluginModule.h"

#include <dlfcn.h>

namespace vsthost {

bool PluginModule::Load(const std::string& path, std::string& error) {
  Unload();
  // A bare file name would send dlopen searching the library path.
  const std::string target = path.find('/') == std::string::npos ? "./" + path : path;
  handle_ = dlopen(target.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle_ == nullptr) {
    const char* reason = dlerror();
    error = reason != nullptr ? reason : path + ": cannot load the library";
    return false;
  }
  return FindEntryPoint(path, error);
}

void PluginModule::Unload() {
  if (handle_ != nullptr) dlclose(handle_);
  handle_ = nullptr;
  entry_ = nullptr;
}

void* PluginModule::Symbol(const char* name) const {
  return handle_ != nullptr ? dlsym(handle_, name) : nullptr;
}

} // namespace vsthost
