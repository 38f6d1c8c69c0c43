#include "editor_win32/IEditorWindow.h"

#include "editor/IControl.h"
#include "editor_win32/InputTranslation.h"
#include "editor_win32/SystemLibraries.h"
#include "editor_win32/WindowScale.h"
#include "framework/IEffectBase.h"
#include "raster/RasterBitmap.h"
#include "raster/win32/DibBitmap.h"
#include "raster/win32/PngResource.h"

#include <windows.h>

#include <commctrl.h>

namespace quorvane {

LRESULT CALLBACK EditorWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

namespace {

// Process-wide; only user-interface threads open and close editor windows.
int openWindows = 0;

bool RegisterEditorClass(HINSTANCE instance) {
  // A window destroyed from outside cannot unregister its class while it
  // still exists; the class left behind is this code's own and serves again.
  WNDCLASSA existing{};
  if (GetClassInfoA(instance, IEditorWindow::kWindowClassName, &existing))
    return existing.lpfnWndProc == EditorWindowProc;
  WNDCLASSA wc{};
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = EditorWindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.lpszClassName = IEditorWindow::kWindowClassName;
  return RegisterClassA(&wc) != 0;
}

void ReleaseWindowCount(HINSTANCE instance) {
  if (openWindows > 0 && --openWindows == 0)
    UnregisterClassA(IEditorWindow::kWindowClassName, instance);
}

bool IsPlainChild(HWND hwnd) {
  return (GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD) != 0 &&
         (GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_MDICHILD) == 0;
}

void GrowWindow(HWND hwnd, int width, int height) {
  SetWindowPos(hwnd, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
}

} // namespace

IEditorWindow::IEditorWindow(IEffectBase* plugIn, std::int32_t w, std::int32_t h, std::int32_t fps)
    : IEditorSurface(plugIn, w, h, fps), moduleInstance(ModuleOfThisCode()) {}

IEditorWindow::~IEditorWindow() {
  CloseEditorWindow();
}

std::unique_ptr<IEditorSurface> IEditorWindow::Create(IEffectBase& plug, std::int32_t width,
                                                      std::int32_t height) {
  return std::make_unique<IEditorWindow>(&plug, width, height, 0);
}

HINSTANCE__* IEditorWindow::ModuleOfThisCode() {
  HMODULE module = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                         GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCSTR>(&openWindows), &module);
  return module;
}

int IEditorWindow::OpenWindowCount() {
  return openWindows;
}

//============================================================================
// Opening and closing

void* IEditorWindow::OpenEditorWindow(void* parentHandle) {
  HWND parent = static_cast<HWND>(parentHandle);
  parentWindow = parent;
  // Without the host's factor or the user's choice, the monitor that holds
  // the host's window decides.
  if (window == nullptr) AdoptScaleForOpening(parent);
  int x = 0;
  int y = 0;
  int w = EditorWidth();
  int h = EditorHeight();
  if (window != nullptr) {
    // Reopening keeps the window where the host last saw it.
    RECT parentRect{};
    RECT oldRect{};
    GetWindowRect(parent, &parentRect);
    GetWindowRect(window, &oldRect);
    CloseEditorWindow();
    parentWindow = parent;
    x = oldRect.left - parentRect.left;
    y = oldRect.top - parentRect.top;
    w = oldRect.right - oldRect.left;
    h = oldRect.bottom - oldRect.top;
  }

  if (openWindows++ == 0 && !RegisterEditorClass(moduleInstance)) {
    openWindows = 0;
    return nullptr;
  }
  HWND created = CreateWindowExA(0, kWindowClassName, kWindowTitle, WS_CHILD | WS_VISIBLE, x, y, w,
                                 h, parent, nullptr, moduleInstance, this);
  if (created == nullptr) {
    ReleaseWindowCount(moduleInstance);
    return nullptr;
  }
  window = created;
  MarkAllDirty();
  if (ShowTooltips()) CreateTooltip();
  return window;
}

void IEditorWindow::CloseEditorWindow() {
  ReleaseWindow(true);
}

void IEditorWindow::ReleaseWindow(bool destroy) {
  if (window == nullptr) return;
  if (tooltipWindow != nullptr) DestroyWindow(tooltipWindow);
  tooltipWindow = nullptr;
  tooltipShown = false;
  tooltipIndex = kNone;
  // No gesture may stay open at the host once the editor is gone.
  if (endEditCountdown != 0 && Plug() != nullptr) Plug()->FlushHostGesture();
  endEditCountdown = 0;
  HWND closing = window;
  window = nullptr;
  // The entry, a child, goes with the window; its font does not.
  if (destroy) DestroyWindow(closing);
  entryWindow = nullptr;
  CloseTextEntryWindow();
  ReleaseWindowCount(moduleInstance);
}

//============================================================================
// Painting and size

bool IEditorWindow::BlitToWindow(const Rect& rect) {
  RasterBitmap* back = BackBuffer();
  if (window == nullptr) return true;
  PAINTSTRUCT ps;
  HDC screen = BeginPaint(window, &ps);
  HDC source = back != nullptr ? static_cast<HDC>(back->DeviceContext()) : nullptr;
  if (screen != nullptr && source != nullptr)
    BitBlt(screen, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, source,
           rect.left, rect.top, SRCCOPY);
  EndPaint(window, &ps);
  return true;
}

double IEditorWindow::SystemScale(void* parent) {
  return WindowScaleFactor(static_cast<HWND>(parent));
}

std::unique_ptr<RasterBitmap> IEditorWindow::CreateBackBuffer(std::int32_t w, std::int32_t h) {
  return std::make_unique<DibBitmap>(w, h);
}

std::unique_ptr<RasterBitmap> IEditorWindow::BitmapFromResource(std::int32_t id, const char*) {
  return std::unique_ptr<RasterBitmap>(DecodePngResource(moduleInstance, id));
}

void IEditorWindow::ResizeEditor(std::int32_t newWidth, std::int32_t newHeight) {
  const int dW = DisplayScale::ToPixels(newWidth, Scale()) - EditorWidth();
  const int dH = DisplayScale::ToPixels(newHeight, Scale()) - EditorHeight();
  // The base destroys every control; an open entry would be finished on one
  // of them by the next tick.
  CloseTextEntryWindow();
  IEditorSurface::ResizeEditor(newWidth, newHeight);
  if (window == nullptr) return;
  RECT own{};
  GetWindowRect(window, &own);
  const int w0 = own.right - own.left;
  const int h0 = own.bottom - own.top;
  HWND parent = nullptr;
  HWND grandparent = nullptr;
  RECT parentRect{};
  RECT grandparentRect{};
  if (IsPlainChild(window)) {
    parent = GetParent(window);
    if (parent != nullptr) {
      GetWindowRect(parent, &parentRect);
      if (IsPlainChild(parent)) {
        grandparent = GetParent(parent);
        if (grandparent != nullptr) GetWindowRect(grandparent, &grandparentRect);
      }
    }
  }
  GrowWindow(window, w0 + dW, h0 + dH);
  if (parent != nullptr)
    GrowWindow(parent, parentRect.right - parentRect.left + dW,
               parentRect.bottom - parentRect.top + dH);
  if (grandparent != nullptr)
    GrowWindow(grandparent, grandparentRect.right - grandparentRect.left + dW,
               grandparentRect.bottom - grandparentRect.top + dH);
  RECT old{0, 0, w0, h0};
  InvalidateRect(window, &old, FALSE);
}

void IEditorWindow::FollowScale() {
  if (window == nullptr) return;
  GrowWindow(window, EditorWidth(), EditorHeight());
  InvalidateRect(window, nullptr, FALSE);
}

std::int32_t IEditorWindow::ChooseFromMenu(const char* const* items, std::int32_t count, int x,
                                           int y) {
  if (window == nullptr || items == nullptr || count <= 0) return kNone;
  HMENU menu = CreatePopupMenu();
  if (menu == nullptr) return kNone;
  // The button press that asked for the menu took the mouse; the menu's own
  // loop needs it, and the release it swallows would never give it back.
  ReleaseCapture();
  // Command 0 means nothing was picked, so the items count from 1.
  for (std::int32_t i = 0; i < count; ++i)
    AppendMenuA(menu, MF_STRING, static_cast<UINT_PTR>(i) + 1, items[i]);
  POINT at{x, y};
  ClientToScreen(window, &at);
  const BOOL command = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, at.x,
                                      at.y, 0, window, nullptr);
  DestroyMenu(menu);
  return command > 0 ? command - 1 : kNone;
}

//============================================================================
// Host wheel and the end of deferred gestures

bool IEditorWindow::HostWheel(float step) {
  if (window == nullptr || !HostWheelStepUsable(step)) return false;
  POINT cursor{};
  if (!GetCursorPos(&cursor) || WindowFromPoint(cursor) != window) return false;
  RECT own{};
  GetWindowRect(window, &own);
  MouseMods mods;
  mods.shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
  mods.ctrl = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
  mods.alt = (GetKeyState(VK_MENU) & 0x8000) != 0;
  SurfaceWheel(cursor.x - own.left, cursor.y - own.top, mods, HostWheelNotches(step));
  return true;
}

void IEditorWindow::StartEndEditCountdown(std::int32_t ticks) {
  endEditCountdown = ticks;
}

void IEditorWindow::ClearEndEditCountdown() {
  endEditCountdown = 0;
}

bool IEditorWindow::WantsFocusForHost() {
  return Plug() != nullptr && Plug()->IdentifyHost() == kFocusTakingHost;
}

//============================================================================
// Hover tracking and tooltips. Nothing in this editor switches them on; the
// surface carries the flags, so the window honours them.

void IEditorWindow::CreateTooltip() {
  INITCOMMONCONTROLSEX icc{};
  icc.dwSize = sizeof(icc);
  icc.dwICC = ICC_TAB_CLASSES;
  if (system_libraries::InitCommonControlsEx(&icc))
    tooltipWindow = CreateWindowExA(
        0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr, moduleInstance, nullptr);
  if (tooltipWindow == nullptr) {
    SetShowTooltips(false);
    return;
  }
  SetWindowPos(tooltipWindow, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  TOOLINFOA tool{};
  tool.cbSize = sizeof(tool);
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = window;
  tool.uId = reinterpret_cast<UINT_PTR>(window);
  SendMessageA(tooltipWindow, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void IEditorWindow::SyncTooltips() {
  if (!ShowTooltips()) HideTooltip();
}

void IEditorWindow::HideTooltip() {
  if (!tooltipShown || tooltipWindow == nullptr) return;
  TOOLINFOA tool{};
  tool.cbSize = sizeof(tool);
  tool.hwnd = window;
  tool.uId = reinterpret_cast<UINT_PTR>(window);
  SendMessageA(tooltipWindow, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
  tooltipShown = false;
}

void IEditorWindow::ShowTooltip() {
  tooltipIndex = ShowTooltips() ? HoverIndex() : kNone;
  if (tooltipIndex < 0 || tooltipWindow == nullptr) return;
  IControl* control = Control(tooltipIndex);
  if (control == nullptr || control->Tooltip() == nullptr) return;
  TOOLINFOA tool{};
  tool.cbSize = sizeof(tool);
  tool.hwnd = window;
  tool.uId = reinterpret_cast<UINT_PTR>(window);
  tool.lpszText = const_cast<char*>(control->Tooltip());
  SendMessageA(tooltipWindow, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
  tooltipShown = true;
}

void IEditorWindow::TrackHover() {
  TRACKMOUSEEVENT track{};
  track.cbSize = sizeof(track);
  track.dwFlags = TME_LEAVE;
  track.hwndTrack = window;
  track.dwHoverTime = HOVER_DEFAULT;
  if (ShowTooltips() && HoverIndex() != tooltipIndex) {
    tooltipIndex = HoverIndex();
    HideTooltip();
    if (tooltipIndex >= 0) track.dwFlags |= TME_HOVER;
  }
  TrackMouseEvent(&track);
}

} // namespace quorvane
