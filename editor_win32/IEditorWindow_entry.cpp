// Inline text entries: the list of a parameter's value names, the edit box
// for a typed value, and the entries over a text control. An entry is
// committed or cancelled by the next frame tick after Enter, a pick, or a
// click in the editor.

#include "editor_win32/IEditorWindow.h"

#include "editor/IControl.h"
#include "editor_win32/EntryLayout.h"
#include "editor_win32/TextEntrySource.h"
#include "framework/IParameter.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace quorvane {

namespace {

constexpr int kValueTextSize = 64;
constexpr int kPromptFontHeight = 14;
constexpr char kPromptFontFace[] = "Arial";
constexpr int kBoldWeight = 700;
constexpr UINT kComboSelectionChange = 1; // CBN_SELCHANGE

LRESULT CALLBACK EntryProc(HWND entry, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* editor =
      reinterpret_cast<IEditorWindow*>(GetWindowLongPtrA(GetParent(entry), GWLP_USERDATA));
  if (editor == nullptr) return DefWindowProcA(entry, message, wParam, lParam);
  return editor->HandleEntryMessage(entry, message, wParam, lParam);
}

HWND CreateEntry(const char* className, const char* text, DWORD style, const EntryBox& box,
                 HWND parent, HINSTANCE instance) {
  return CreateWindowExA(
      0, className, text, style, box.x, box.y, box.width, box.height, parent,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(IEditorWindow::kEntryControlId)), instance,
      nullptr);
}

HFONT StyleFont(const TextStyle& style, double scale) {
  return CreateFontA(DisplayScale::ToPixels(style.size, scale), 0, 0, 0, style.styleFlags == TextStyle::kBold ? kBoldWeight : 0,
                     style.styleFlags == TextStyle::kItalic ? TRUE : FALSE, 0, 0, 0, 0, 0, 0, 0,
                     style.fontName);
}

DWORD TextEntryStyle(const TextStyle& style, bool editable, bool secret) {
  DWORD s = WS_CHILD | WS_VISIBLE | EditAlignmentStyle(style.alignment);
  if (!editable) s |= ES_READONLY;
  s |= secret ? ES_PASSWORD : ES_MULTILINE;
  return s;
}

bool IsEditEntry(HWND entry) {
  char name[5] = {};
  GetClassNameA(entry, name, sizeof(name));
  return lstrcmpiA(name, "EDIT") == 0;
}

} // namespace

void IEditorWindow::AdoptEntry(HWND__* entry, IControl* control, IParameter* param, HFONT__* font) {
  entryWindow = entry;
  entryControl = control;
  entryParam = param;
  entryState = TextEntryState::Idle;
  entryFont = font;
  entryProcedure = SetWindowLongPtrA(entry, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&EntryProc));
}

void IEditorWindow::PromptParamInput(IControl* control, IParameter* param) {
  if (control == nullptr || param == nullptr || entryWindow != nullptr || window == nullptr) return;
  char current[kValueTextSize];
  param->FormatValue(param->Value(), false, current, sizeof(current));
  const int names = param->ValueNameCount();
  const bool pickList =
      names > 0 && (param->Kind() == ParamKind::Toggle || param->Kind() == ParamKind::Choice);
  HWND entry = nullptr;
  if (pickList) {
    int longest = 0;
    int selected = -1;
    for (int key = 0; key < names; ++key) {
      const char* text = param->ValueNameFor(key);
      longest = std::max(longest, static_cast<int>(std::strlen(text)));
      if (std::strcmp(text, current) == 0) selected = key;
    }
    const EntryBox box = ValueListBox(ToPixels(control->DrawRect()), names, longest);
    entry = CreateEntry("COMBOBOX", "", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, box, window,
                        moduleInstance);
    if (entry == nullptr) return;
    for (int key = 0; key < names; ++key)
      SendMessageA(entry, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(param->ValueNameFor(key)));
    SendMessageA(entry, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
  } else {
    char largest[kValueTextSize];
    param->FormatValue(1.0, true, largest, sizeof(largest));
    const EntryBox box = ValueEditBox(ToPixels(control->DrawRect()), static_cast<int>(std::strlen(largest)));
    entry = CreateEntry("EDIT", current, WS_CHILD | WS_VISIBLE | ES_CENTER | ES_MULTILINE, box,
                        window, moduleInstance);
    if (entry == nullptr) return;
    SendMessageA(entry, EM_SETSEL, 0, -1);
  }
  SetFocus(entry);
  HFONT font = CreateFontA(DisplayScale::ToPixels(kPromptFontHeight, Scale()), 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, kPromptFontFace);
  AdoptEntry(entry, control, param, font);
  SendMessageA(entry, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
}

void IEditorWindow::OpenControlTextEntry(IControl* control) {
  auto* source = dynamic_cast<TextEntrySource*>(control);
  if (source == nullptr || entryWindow != nullptr || window == nullptr) return;
  const TextStyle& style = source->EntryStyle();
  const char* text = source->EntryText() != nullptr ? source->EntryText() : "";
  HWND entry = CreateEntry("EDIT", text,
                           TextEntryStyle(style, source->EntryEditable(), source->EntrySecret()),
                           ControlTextBox(ToPixels(control->DrawRect())), window, moduleInstance);
  if (entry == nullptr) return;
  SendMessageA(entry, EM_SETSEL, 0, -1);
  SetFocus(entry);
  HFONT font = StyleFont(style, Scale());
  AdoptEntry(entry, control, nullptr, font);
  SendMessageA(entry, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
}

void IEditorWindow::OpenTextEntry(IControl* control, const TextStyle& style, const Rect& rect,
                                  const char* text, bool secret, bool editable) {
  if (control == nullptr || entryWindow != nullptr || window == nullptr) return;
  HWND entry =
      CreateEntry("EDIT", text != nullptr ? text : "", TextEntryStyle(style, editable, secret),
                  FreeTextBox(ToPixels(rect)), window, moduleInstance);
  if (entry == nullptr) return;
  HFONT font = StyleFont(style, Scale());
  SendMessageA(entry, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
  SendMessageA(entry, EM_SETSEL, 0, -1);
  SendMessageA(entry, EM_LIMITTEXT, kFreeEntryLimit, 0);
  SetFocus(entry);
  AdoptEntry(entry, control, nullptr, font);
}

void IEditorWindow::FinishTextEntry() {
  IControl* control = entryControl;
  if (entryState == TextEntryState::Commit) {
    std::vector<char> text(kMaxEntryText + 1, '\0');
    SendMessageA(entryWindow, WM_GETTEXT, static_cast<WPARAM>(text.size()),
                 reinterpret_cast<LPARAM>(text.data()));
    if (entryParam != nullptr) {
      ApplyPromptText(control, entryParam, text.data());
    } else if (auto* source = dynamic_cast<TextEntrySource*>(control)) {
      if (source->EntryEditable()) source->AcceptEntryText(text.data());
    }
  }
  CloseTextEntryWindow();
  if (control != nullptr) control->FinishUserEdit();
}

void IEditorWindow::CloseTextEntryWindow() {
  if (entryWindow != nullptr) {
    SetWindowLongPtrA(entryWindow, GWLP_WNDPROC, entryProcedure);
    HWND closing = entryWindow;
    entryWindow = nullptr;
    DestroyWindow(closing);
  }
  entryControl = nullptr;
  entryParam = nullptr;
  entryProcedure = 0;
  entryState = TextEntryState::Idle;
  // Each entry makes its own font; without this every prompt leaked one.
  if (entryFont != nullptr) DeleteObject(entryFont);
  entryFont = nullptr;
}

std::intptr_t IEditorWindow::HandleEntryMessage(HWND__* entry, std::uint32_t message,
                                                std::uintptr_t wParam, std::intptr_t lParam) {
  if (entry != entryWindow || entryProcedure == 0)
    return DefWindowProcA(entry, message, wParam, lParam);
  const auto saved = reinterpret_cast<WNDPROC>(entryProcedure);
  HideTooltip();
  switch (message) {
  case WM_KEYDOWN:
    if (wParam == VK_RETURN) {
      if (IsEditEntry(entry)) SendMessageA(entry, EM_SETSEL, static_cast<WPARAM>(-1), 0);
      entryState = TextEntryState::Commit;
      return 0;
    }
    entryState = TextEntryState::Touched;
    break;
  case WM_SETFOCUS:
    entryState = TextEntryState::Touched;
    break;
  case WM_KILLFOCUS:
    entryState = TextEntryState::Idle;
    break;
  case WM_GETDLGCODE: {
    const LRESULT code = CallWindowProcA(saved, entry, message, wParam, lParam);
    const auto* asked = reinterpret_cast<const MSG*>(lParam);
    if (entryParam == nullptr && asked != nullptr && asked->message == WM_KEYDOWN &&
        asked->wParam == VK_RETURN)
      return code | DLGC_WANTALLKEYS;
    return code;
  }
  case WM_COMMAND:
    if (HIWORD(wParam) == kComboSelectionChange) {
      entryState = TextEntryState::Commit;
      return 0;
    }
    break;
  default:
    break;
  }
  return CallWindowProcA(saved, entry, message, wParam, lParam);
}

} // namespace quorvane
