// The LV2 module's entry point and the C edge of the binding: static callbacks that forward into
// one Lv2Plugin each and catch everything, so nothing is thrown into the host. Compiled into the
// module itself, so that only the module exports lv2_descriptor.

#include "framework/lv2/Lv2Module.h"
#include "framework/lv2/Lv2Plugin.h"

#include <cstring>

namespace quorvane {
namespace {

Lv2Plugin* PluginOf(LV2_Handle handle) {
  return static_cast<Lv2Plugin*>(handle);
}

LV2_Handle Instantiate(const LV2_Descriptor*, double sampleRate, const char*,
                       const LV2_Feature* const* features) {
  try {
    return Lv2Plugin::Create(sampleRate, features).release();
  } catch (...) {
    return nullptr;
  }
}

void ConnectPort(LV2_Handle handle, uint32_t port, void* data) {
  if (handle != nullptr) PluginOf(handle)->ConnectPort(port, data);
}

void Activate(LV2_Handle handle) {
  if (handle == nullptr) return;
  try {
    PluginOf(handle)->Activate();
  } catch (...) {
  }
}

void Run(LV2_Handle handle, uint32_t frames) {
  if (handle == nullptr) return;
  try {
    PluginOf(handle)->Run(frames);
  } catch (...) {
  }
}

void Deactivate(LV2_Handle handle) {
  if (handle == nullptr) return;
  try {
    PluginOf(handle)->Deactivate();
  } catch (...) {
  }
}

void Cleanup(LV2_Handle handle) {
  delete PluginOf(handle);
}

LV2_State_Status SaveState(LV2_Handle handle, LV2_State_Store_Function store,
                           LV2_State_Handle stateHandle, uint32_t, const LV2_Feature* const*) {
  if (handle == nullptr) return LV2_STATE_ERR_UNKNOWN;
  try {
    return PluginOf(handle)->Save(store, stateHandle);
  } catch (...) {
    return LV2_STATE_ERR_UNKNOWN;
  }
}

LV2_State_Status RestoreState(LV2_Handle handle, LV2_State_Retrieve_Function retrieve,
                              LV2_State_Handle stateHandle, uint32_t, const LV2_Feature* const*) {
  if (handle == nullptr) return LV2_STATE_ERR_UNKNOWN;
  try {
    return PluginOf(handle)->Restore(retrieve, stateHandle);
  } catch (...) {
    return LV2_STATE_ERR_UNKNOWN;
  }
}

const void* ExtensionData(const char* uri) {
  static const LV2_State_Interface state = {&SaveState, &RestoreState};
  if (uri != nullptr && std::strcmp(uri, LV2_STATE__interface) == 0) return &state;
  return nullptr;
}

} // namespace
} // namespace quorvane

LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index) {
  using namespace quorvane;
  static const LV2_Descriptor descriptor = {
      Lv2Module().pluginUri, &Instantiate, &ConnectPort,   &Activate, &Run,
      &Deactivate,           &Cleanup,     &ExtensionData,
  };
  return index == 0 ? &descriptor : nullptr;
}
