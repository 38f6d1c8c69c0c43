#include "editor_win32/SystemLibraries.h"

#include <string>

namespace quorvane::system_libraries {
namespace {

// The library by its full path in the system folder, never one of the same
// name beside the host. Kept loaded: windows made with its classes may
// outlive any one editor.
HMODULE SystemLibrary(const char* name) {
  char folder[MAX_PATH];
  const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  return LoadLibraryA((std::string(folder, length) + "\\" + name).c_str());
}

template <class Function> Function Find(const char* library, const char* name) {
  const HMODULE module = SystemLibrary(library);
  return module != nullptr
             ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)))
             : nullptr;
}

} // namespace

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* controls) {
  using Function = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  static const Function function = Find<Function>("comctl32.dll", "InitCommonControlsEx");
  return function != nullptr && function(controls);
}

BOOL GetOpenFileNameA(OPENFILENAMEA* dialog) {
  using Function = BOOL(WINAPI*)(OPENFILENAMEA*);
  static const Function function = Find<Function>("comdlg32.dll", "GetOpenFileNameA");
  return function != nullptr && function(dialog);
}

BOOL GetSaveFileNameA(OPENFILENAMEA* dialog) {
  using Function = BOOL(WINAPI*)(OPENFILENAMEA*);
  static const Function function = Find<Function>("comdlg32.dll", "GetSaveFileNameA");
  return function != nullptr && function(dialog);
}

BOOL ChooseColorA(CHOOSECOLORA* chooser) {
  using Function = BOOL(WINAPI*)(CHOOSECOLORA*);
  static const Function function = Find<Function>("comdlg32.dll", "ChooseColorA");
  return function != nullptr && function(chooser);
}

INT_PTR ShellExecuteA(HWND owner, const char* verb, const char* file, const char* parameters,
                      const char* directory, int show) {
  using Function = HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);
  static const Function function = Find<Function>("shell32.dll", "ShellExecuteA");
  if (function == nullptr) return 0;
  return reinterpret_cast<INT_PTR>(function(owner, verb, file, parameters, directory, show));
}

BOOL InternetGetConnectedState(DWORD* flags, DWORD reserved) {
  using Function = BOOL(WINAPI*)(DWORD*, DWORD);
  static const Function function = Find<Function>("wininet.dll", "InternetGetConnectedState");
  return function != nullptr && function(flags, reserved);
}

} // namespace quorvane::system_libraries
