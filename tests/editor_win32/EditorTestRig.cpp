#include "tests/editor_win32/EditorTestRig.h"

#include "editor/IControl.h"
#include "tests/support/VstEventList.h"

namespace quorvane {

EditorTestRig::EditorTestRig() = default;

EditorTestRig::~EditorTestRig() {
  frame.Close();
  ClosePlugin();
}

VSTCLASS* EditorTestRig::CreatePlugin() {
  plugin = new VSTCLASS(host.Callback(), &IEditorWindow::Create);
  plugin->FinishCreation();
  record = plugin->Record();
  record->dispatcher(record, effOpen, 0, 0, nullptr, 0.0f);
  record->dispatcher(record, effSetSampleRate, 0, 0, nullptr, 44100.0f);
  record->dispatcher(record, effSetBlockSize, 0, 256, nullptr, 0.0f);
  record->dispatcher(record, effMainsChanged, 0, 1, nullptr, 0.0f);
  return plugin;
}

IEditorWindow* EditorTestRig::Editor() const {
  return plugin != nullptr ? dynamic_cast<IEditorWindow*>(plugin->Editor()) : nullptr;
}

Rect EditorTestRig::ControlRect(int index) const {
  const IEditorWindow* editor = Editor();
  for (std::int32_t i = 0; editor != nullptr && i < editor->ControlCount(); ++i)
    if (editor->Control(i)->ParamIndex() == index) return editor->Control(i)->DrawRect();
  return Rect{};
}

void EditorTestRig::ClosePlugin() {
  if (record != nullptr) record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f);
  record = nullptr;
  plugin = nullptr;
}

WindowPixels EditorTestRig::Capture() {
  WindowPixels shot;
  frame.Capture(shot);
  return shot;
}

void EditorTestRig::Send(UINT message, WPARAM wParam, int x, int y) {
  SendMessageA(frame.Editor(), message, wParam, MAKELPARAM(x, y));
}

void EditorTestRig::Click(int x, int y) {
  Send(WM_LBUTTONDOWN, MK_LBUTTON, x, y);
  Send(WM_LBUTTONUP, 0, x, y);
}

void EditorTestRig::RightClick(int x, int y) {
  Send(WM_RBUTTONDOWN, MK_RBUTTON, x, y);
  Send(WM_RBUTTONUP, 0, x, y);
}

void EditorTestRig::Drag(int x, int y, int dx, int dy) {
  Send(WM_LBUTTONDOWN, MK_LBUTTON, x, y);
  Send(WM_MOUSEMOVE, MK_LBUTTON, x + dx / 2, y + dy / 2);
  Send(WM_MOUSEMOVE, MK_LBUTTON, x + dx, y + dy);
  Send(WM_LBUTTONUP, 0, x + dx, y + dy);
}

void EditorTestRig::Wheel(int x, int y, int delta) {
  // The wheel message carries screen coordinates.
  POINT p{x, y};
  ClientToScreen(frame.Editor(), &p);
  SendMessageA(frame.Editor(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(delta)),
               MAKELPARAM(p.x, p.y));
}

void EditorTestRig::SetParameter(int index, float normalised) {
  record->setParameter(record, index, normalised);
}

float EditorTestRig::GetParameter(int index) {
  return record->getParameter(record, index);
}

void EditorTestRig::NoteOn() {
  VstEventList list{MakeMidi(0, 0x90, 60, 100)};
  record->dispatcher(record, effProcessEvents, 0, 0, list.Get(), 0.0f);
}

void EditorTestRig::ProcessBlock(int frames) {
  std::vector<float> in(static_cast<std::size_t>(frames), 0.1f);
  std::vector<float> outL(in.size());
  std::vector<float> outR(in.size());
  float* inputs[2] = {in.data(), in.data()};
  float* outputs[2] = {outL.data(), outR.data()};
  record->processReplacing(record, inputs, outputs, frames);
}

std::vector<Gesture> EditorTestRig::GesturesFor(int index) const {
  std::vector<Gesture> seen;
  for (const HostCall& call : host.calls) {
    if (call.index != index) continue;
    if (call.opcode == audioMasterBeginEdit) seen.push_back(Gesture::Begin);
    if (call.opcode == audioMasterAutomate) seen.push_back(Gesture::Automate);
    if (call.opcode == audioMasterEndEdit) seen.push_back(Gesture::End);
  }
  return seen;
}

bool RegionDiffers(const WindowPixels& a, const WindowPixels& b, const Rect& rect) {
  if (a.width != b.width || a.height != b.height) return true;
  for (int y = rect.top; y < rect.bottom && y < a.height; ++y)
    for (int x = rect.left; x < rect.right && x < a.width; ++x)
      if (a.At(x, y) != b.At(x, y)) return true;
  return false;
}

} // namespace quorvane
