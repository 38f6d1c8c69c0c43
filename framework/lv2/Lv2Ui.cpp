#include "framework/lv2/Lv2Ui.h"

#include "framework/lv2/Lv2Features.h"
#include "framework/lv2/Lv2Module.h"
#include "framework/lv2/Lv2Ports.h"

#include <cmath>
#include <cstring>

namespace quorvane {

std::unique_ptr<Lv2Ui> Lv2Ui::Create(const char* pluginUri, LV2UI_Write_Function write,
                                     LV2UI_Controller controller, LV2UI_Widget* widget,
                                     const LV2_Feature* const* features) {
  if (pluginUri == nullptr || std::strcmp(pluginUri, Lv2Module().pluginUri) != 0 ||
      write == nullptr || widget == nullptr)
    return nullptr;
  void* parent = const_cast<void*>(Lv2FeatureData(features, LV2_UI__parent));
  if (parent == nullptr) return nullptr;

  const std::unique_ptr<IEffectBase> model = CreateLv2Effect();
  if (!model) return nullptr;
  std::unique_ptr<Lv2Ui> ui(new Lv2Ui(*model, write, controller));
  if (!BuildLv2Editor(*ui, ui->readout) || ui->Editor() == nullptr) return nullptr;
  void* window = ui->Editor()->OpenEditorWindow(parent);
  if (window == nullptr) return nullptr;
  *widget = window;
  if (const auto* resize =
          static_cast<const LV2UI_Resize*>(Lv2FeatureData(features, LV2_UI__resize));
      resize != nullptr && resize->ui_resize != nullptr)
    resize->ui_resize(resize->handle, ui->Editor()->EditorWidth(), ui->Editor()->EditorHeight());
  return ui;
}

// The identity is the effect's; the channels and the one preset only satisfy the base, since
// nothing is processed here.
Lv2Ui::Lv2Ui(const IEffectBase& model, LV2UI_Write_Function hostWrite,
             LV2UI_Controller hostController)
    : IEffectBase(model.ParamCount(), "2-2", 1, model.EffectName(), model.ProductName(),
                  model.VendorName(), model.Version(), model.UniqueId(), model.VendorCode(), 0, 0,
                  false, false),
      write(hostWrite), controller(hostController) {
  for (int32_t i = 0; i < ParamCount(); ++i)
    *Param(i) = *model.Param(i);
  // The position port spans the range already.
  readout.PublishRange(0.0f, 1.0f);
}

Lv2Ui::~Lv2Ui() {
  if (Editor() != nullptr) Editor()->CloseEditorWindow();
}

void Lv2Ui::PortEvent(uint32_t port, uint32_t bufferSize, uint32_t format, const void* buffer) {
  if (format != 0 || bufferSize != sizeof(float) || buffer == nullptr) return;
  float value = 0.0f;
  std::memcpy(&value, buffer, sizeof value);
  // No port of the plug-in ever holds one: it can only be a broken event.
  if (!std::isfinite(value)) return;
  const uint32_t control = port - kLv2FirstControl;
  if (control < static_cast<uint32_t>(ParamCount())) {
    PluginLockGuard guard(GetPluginLock());
    const auto index = static_cast<int32_t>(control);
    const IParameter& param = *Param(index);
    const double taken = param.ClampToRange(static_cast<double>(value));
    // The host's echo of the editor's own write moves nothing.
    if (taken != param.Value()) SetParameterFromHost(index, param.NormaliseValue(taken));
    return;
  }
  if (port == Lv2ReadoutPortIndex(ParamCount(), kLv2ReadoutPosition))
    readout.PublishValue(value);
  else if (port == Lv2ReadoutPortIndex(ParamCount(), kLv2ReadoutActive))
    readout.PublishEnabled(value >= 0.5f);
}

int Lv2Ui::Idle() {
  std::deque<PortWrite> taken;
  {
    std::lock_guard<std::mutex> guard(pendingLock);
    taken.swap(pending);
  }
  // Outside the queue's lock: the host may answer a write with a port event at once.
  for (const PortWrite& change : taken)
    write(controller, change.port, sizeof change.value, 0, &change.value);
  return 0;
}

void Lv2Ui::AutomateHost(int32_t index, double) {
  const IParameter* param = Param(index);
  if (param == nullptr) return;
  // The port takes the value in the parameter's units, as the control left it.
  const PortWrite change{kLv2FirstControl + static_cast<uint32_t>(index),
                         static_cast<float>(param->Value())};
  std::lock_guard<std::mutex> guard(pendingLock);
  if (pending.size() == kMaxPendingWrites) pending.pop_front();
  pending.push_back(change);
}

void Lv2Ui::HostTimeSignature(int32_t* numerator, int32_t* denominator) {
  if (numerator != nullptr) *numerator = 0;
  if (denominator != nullptr) *denominator = 0;
}

} // namespace quorvane
