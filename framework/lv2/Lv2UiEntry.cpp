// The LV2 UI module's entry point and the C edge of its instances: static callbacks that forward
// into one Lv2Ui each and catch everything, so nothing is thrown into the host. Compiled into the
// UI module itself, so that only the module exports lv2ui_descriptor.

#include "framework/lv2/Lv2Module.h"
#include "framework/lv2/Lv2Ui.h"

#include <cstring>

namespace quorvane {
namespace {

Lv2Ui* UiOf(LV2UI_Handle handle) {
  return static_cast<Lv2Ui*>(handle);
}

LV2UI_Handle Instantiate(const LV2UI_Descriptor*, const char* pluginUri, const char*,
                         LV2UI_Write_Function write, LV2UI_Controller controller,
                         LV2UI_Widget* widget, const LV2_Feature* const* features) {
  try {
    return Lv2Ui::Create(pluginUri, write, controller, widget, features).release();
  } catch (...) {
    return nullptr;
  }
}

void Cleanup(LV2UI_Handle handle) {
  delete UiOf(handle);
}

void PortEvent(LV2UI_Handle handle, uint32_t port, uint32_t bufferSize, uint32_t format,
               const void* buffer) {
  if (handle == nullptr) return;
  try {
    UiOf(handle)->PortEvent(port, bufferSize, format, buffer);
  } catch (...) {
  }
}

int Idle(LV2UI_Handle handle) {
  if (handle == nullptr) return 1;
  try {
    return UiOf(handle)->Idle();
  } catch (...) {
    return 0;
  }
}

// The host passes the UI's own handle, not the struct's.
int ResizeFromHost(LV2UI_Feature_Handle handle, int width, int height) {
  if (handle == nullptr) return 1;
  try {
    return UiOf(handle)->ResizeFromHost(width, height);
  } catch (...) {
    return 1;
  }
}

const void* ExtensionData(const char* uri) {
  static const LV2UI_Idle_Interface idle = {&Idle};
  static const LV2UI_Resize resize = {nullptr, &ResizeFromHost};
  if (uri == nullptr) return nullptr;
  if (std::strcmp(uri, LV2_UI__idleInterface) == 0) return &idle;
  if (std::strcmp(uri, LV2_UI__resize) == 0) return &resize;
  return nullptr;
}

} // namespace
} // namespace quorvane

LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index) {
  using namespace quorvane;
  static const LV2UI_Descriptor descriptor = {Lv2Module().uiUri, &Instantiate, &Cleanup, &PortEvent,
                                              &ExtensionData};
  return index == 0 ? &descriptor : nullptr;
}
