#include "editor_win32/WindowScale.h"

#include <windows.h>

namespace quorvane {

namespace {

constexpr double kStandardDpi = 96.0;

using GetDpiForWindowProc = UINT(WINAPI*)(HWND);

GetDpiForWindowProc DpiForWindowEntry() {
  HMODULE user32 = GetModuleHandleA("user32.dll");
  if (user32 == nullptr) return nullptr;
  return reinterpret_cast<GetDpiForWindowProc>(
      reinterpret_cast<void*>(GetProcAddress(user32, "GetDpiForWindow")));
}

} // namespace

double WindowScaleFactor(HWND window) {
  static const GetDpiForWindowProc dpiForWindow = DpiForWindowEntry();
  if (window != nullptr && dpiForWindow != nullptr) {
    const UINT dpi = dpiForWindow(window);
    if (dpi > 0) return dpi / kStandardDpi;
  }
  HDC dc = GetDC(window);
  if (dc == nullptr) return 0.0;
  const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
  ReleaseDC(window, dc);
  return dpi > 0 ? dpi / kStandardDpi : 0.0;
}

} // namespace quorvane
