#pragma once
// The system libraries that only the editor's rarer features need (file and
// colour dialogs, tooltips, opening a web address), loaded from the system
// folder at their first use instead of with the plug-in: a host that loads
// plug-ins only to list them pays nothing for them. Each function answers
// as its system namesake does, and as a failure when its library cannot be
// had. User-interface thread.

#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>

namespace quorvane::system_libraries {

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* controls);
BOOL GetOpenFileNameA(OPENFILENAMEA* dialog);
BOOL GetSaveFileNameA(OPENFILENAMEA* dialog);
BOOL ChooseColorA(CHOOSECOLORA* chooser);
// Answers a value above 32 on success, as the system's does.
INT_PTR ShellExecuteA(HWND owner, const char* verb, const char* file, const char* parameters,
                      const char* directory, int show);
BOOL InternetGetConnectedState(DWORD* flags, DWORD reserved);

} // namespace quorvane::system_libraries
