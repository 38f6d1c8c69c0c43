#include "PluginModule.h"

#include <dlfcn.h>
#include <link.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vsthost {
namespace {

constexpr unsigned kProbeSeconds = 20;

// The probe's host: it knows the interface's version and nothing else, as
// hosts answer what they do not support.
intptr_t VSTCALLBACK ProbeHost(AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
  return opcode == audioMasterVersion ? kVstVersion : 0;
}

} // namespace

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
  entryName_ = "";
}

void* PluginModule::Symbol(const char* name) const {
  if (handle_ == nullptr) return nullptr;
  void* symbol = dlsym(handle_, name);
  // dlsym also searches the libraries this one depends on.
  Dl_info where{};
  link_map* map = nullptr;
  if (symbol == nullptr || dladdr(symbol, &where) == 0 ||
      dlinfo(handle_, RTLD_DI_LINKMAP, &map) != 0 ||
      where.dli_fbase != reinterpret_cast<void*>(map->l_addr)) {
    return nullptr;
  }
  return symbol;
}

bool PluginModule::MainAnswersEffect(VstPluginMainProc entry) const {
  // Try it in a child process first: a crash there costs nothing.
  const pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) {
    alarm(kProbeSeconds); // a hang counts as a failure too
    AEffect* effect = entry(&ProbeHost);
    _exit(effect != nullptr && effect->magic == kEffectMagic ? 0 : 1);
  }
  int status = 0;
  return waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace vsthost
