#include "PluginModule.h"

namespace vsthost {

PluginModule::~PluginModule() {
  Unload();
}

bool PluginModule::FindEntryPoint(const std::string& path, std::string& error) {
  if (void* entry = Symbol("VSTPluginMain")) {
    entry_ = reinterpret_cast<VstPluginMainProc>(entry);
    entryName_ = "VSTPluginMain";
    return true;
  }
  void* fallback = Symbol("main");
  if (fallback == nullptr) {
    error = path + ": exports neither VSTPluginMain nor main: not a VST 2.4 plug-in";
  } else if (!MainAnswersEffect(reinterpret_cast<VstPluginMainProc>(fallback))) {
    error = path + ": exports no VSTPluginMain, and its main is not a plug-in entry point";
  } else {
    entry_ = reinterpret_cast<VstPluginMainProc>(fallback);
    entryName_ = "main";
    return true;
  }
  Unload();
  return false;
}

} // namespace vsthost
