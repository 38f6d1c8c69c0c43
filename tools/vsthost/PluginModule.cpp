#include "PluginModule.h"

namespace vsthost {

PluginModule::~PluginModule() {
  Unload();
}

bool PluginModule::FindEntryPoint(const std::string& path, std::string& error) {
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

} // namespace vsthost
