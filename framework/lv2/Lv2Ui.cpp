#include "framework/lv2/Lv2Ui.h"

#include "framework/lv2/Lv2Features.h"
#include "framework/lv2/Lv2Module.h"
#include "framework/lv2/Lv2Ports.h"

#include <algorithm>
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

  auto* touch = static_cast<const LV2UI_Touch*>(Lv2FeatureData(features, LV2_UI__touch));
  if (touch != nullptr && touch->touch == nullptr) touch = nullptr;
  auto* resize = static_cast<const LV2UI_Resize*>(Lv2FeatureData(features, LV2_UI__resize));
  if (resize != nullptr && resize->ui_resize == nullptr) resize = nullptr;

  const std::unique_ptr<IEffectBase> model = CreateLv2Effect();
  if (!model) return nullptr;
  std::unique_ptr<Lv2Ui> ui(new Lv2Ui(*model, write, controller, touch, resize));
  if (!BuildLv2Editor(*ui, ui->readout) || ui->Editor() == nullptr) return nullptr;
  void* window = ui->Editor()->OpenEditorWindow(parent);
  if (window == nullptr) return nullptr;
  *widget = window;
  if (resize != nullptr)
    ui->AnnounceSize({ui->Editor()->EditorWidth(), ui->Editor()->EditorHeight()});
  return ui;
}

// The identity is the effect's; the channels and the one preset only satisfy the base, since
// nothing is processed here.
Lv2Ui::Lv2Ui(const IEffectBase& model, LV2UI_Write_Function hostWrite,
             LV2UI_Controller hostController, const LV2UI_Touch* hostTouch,
             const LV2UI_Resize* hostResize)
    : IEffectBase(model.ParamCount(), "2-2", 1, model.EffectName(), model.ProductName(),
                  model.VendorName(), model.Version(), model.UniqueId(), model.VendorCode(), 0, 0,
                  false, false),
      write(hostWrite), controller(hostController), touch(hostTouch), resize(hostResize) {
  for (int32_t i = 0; i < ParamCount(); ++i)
    *Param(i) = *model.Param(i);
  // The position port spans the range already.
  readout.PublishRange(0.0f, 1.0f);
}

Lv2Ui::~Lv2Ui() {
  if (Editor() == nullptr) return;
  Editor()->CloseEditorWindow();
  // Closing ends a gesture still open; the host hears it, and the last changes, before the end.
  DeliverPendingCalls();
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
  DeliverPendingCalls();
  std::optional<Size> size;
  {
    std::lock_guard<std::mutex> guard(pendingLock);
    size.swap(pendingSize);
  }
  if (size) AnnounceSize(*size);
  return 0;
}

int Lv2Ui::ResizeFromHost(int width, int height) {
  PluginLockGuard guard(GetPluginLock());
  if (Editor() == nullptr) return 1;
  // Known before the editor follows, so that a scale that fills it exactly is not told back.
  const Size previous = ExchangeHostSize({width, height});
  if (Editor()->FitHostSize(width, height)) return 0;
  ExchangeHostSize(previous);
  return 1;
}

void Lv2Ui::BeginHostGesture(int32_t index) {
  FlushHostGesture();
  if (touch != nullptr && IsValidParam(index))
    Queue({HostCall::Kind::Grab, Lv2ControlPortIndex(index), 0.0f});
}

void Lv2Ui::AutomateHost(int32_t index, double) {
  const IParameter* param = Param(index);
  if (param == nullptr) return;
  // The port takes the value in the parameter's units, as the control left it.
  Queue({HostCall::Kind::Write, Lv2ControlPortIndex(index), static_cast<float>(param->Value())});
}

void Lv2Ui::EndHostGesture(int32_t index) {
  if (touch != nullptr && IsValidParam(index))
    Queue({HostCall::Kind::Release, Lv2ControlPortIndex(index), 0.0f});
}

bool Lv2Ui::ResizeHostWindow(int32_t width, int32_t height) {
  if (resize == nullptr) return false;
  const Size size{width, height};
  std::lock_guard<std::mutex> guard(pendingLock);
  // Back to the size the host holds before it heard of another: nothing to tell.
  if (size == hostSize)
    pendingSize.reset();
  else
    pendingSize = size;
  return true;
}

void Lv2Ui::Queue(const HostCall& call) {
  std::lock_guard<std::mutex> guard(pendingLock);
  if (pending.size() == kMaxPendingCalls) {
    // A write is superseded by the next one to its port; a lost grab or release is not.
    const auto oldestWrite =
        std::find_if(pending.begin(), pending.end(),
                     [](const HostCall& queued) { return queued.kind == HostCall::Kind::Write; });
    pending.erase(oldestWrite != pending.end() ? oldestWrite : pending.begin());
  }
  pending.push_back(call);
}

void Lv2Ui::DeliverPendingCalls() {
  std::deque<HostCall> taken;
  {
    std::lock_guard<std::mutex> guard(pendingLock);
    taken.swap(pending);
  }
  // Outside the queue's lock: the host may answer a write with a port event at once.
  for (const HostCall& call : taken) {
    if (call.kind == HostCall::Kind::Write)
      write(controller, call.port, sizeof call.value, 0, &call.value);
    else
      touch->touch(touch->handle, call.port, call.kind == HostCall::Kind::Grab);
  }
}

void Lv2Ui::AnnounceSize(Size size) {
  if (resize->ui_resize(resize->handle, size.width, size.height) == 0) {
    std::lock_guard<std::mutex> guard(pendingLock);
    hostSize = size;
    if (pendingSize == size) pendingSize.reset();
    return;
  }
  // A host that keeps its window as it was would cut a larger editor off or leave a smaller one
  // in a frame of stale pixels.
  PluginLockGuard guard(GetPluginLock());
  const Size held = KnownHostSize();
  if (Editor() != nullptr) Editor()->FitHostSize(held.width, held.height);
}

Lv2Ui::Size Lv2Ui::KnownHostSize() {
  std::lock_guard<std::mutex> guard(pendingLock);
  return hostSize;
}

Lv2Ui::Size Lv2Ui::ExchangeHostSize(Size size) {
  std::lock_guard<std::mutex> guard(pendingLock);
  std::swap(hostSize, size);
  return size;
}

void Lv2Ui::HostTimeSignature(int32_t* numerator, int32_t* denominator) {
  if (numerator != nullptr) *numerator = 0;
  if (denominator != nullptr) *denominator = 0;
}

} // namespace quorvane
