// The modal pop-ups a control may ask for: file and colour dialogs, the
// browser with the maker's web site, and the directories of the host and of
// the plug-in.

#include "editor_win32/IEditorWindow.h"

#include "editor_win32/EntryLayout.h"
#include "editor_win32/SystemLibraries.h"

#include <windows.h>

#include <commdlg.h>

#include <cstring>

namespace quorvane {

namespace {

constexpr DWORD kPathBufferSize = 256;

std::string ModuleDirectory(HMODULE module) {
  char path[kPathBufferSize] = {};
  const DWORD length = GetModuleFileNameA(module, path, kPathBufferSize);
  // A path cut to the buffer is not terminated on older systems.
  if (length == 0 || length >= kPathBufferSize) return std::string();
  return DirectoryOfPath(path);
}

UINT_PTR CALLBACK ColourDialogHook(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    const auto* chooser = reinterpret_cast<const CHOOSECOLORA*>(lParam);
    const auto* title = reinterpret_cast<const char*>(chooser->lCustData);
    if (title != nullptr && *title != '\0') SetWindowTextA(dialog, title);
  }
  return 0;
}

} // namespace

void IEditorWindow::GetHostDirectory(std::string& directory) {
  directory = ModuleDirectory(nullptr);
}

void IEditorWindow::GetPluginDirectory(std::string& directory) {
  directory = ModuleDirectory(moduleInstance);
}

void IEditorWindow::AskForFile(std::string& fileName, std::int32_t action, const char* directory,
                               const char* extensions) {
  constexpr std::int32_t kSave = 1;
  if (window == nullptr) {
    fileName.clear();
    return;
  }
  char file[kPathBufferSize] = {};
  std::strncpy(file, fileName.c_str(), kPathBufferSize - 1);
  std::string initialDirectory;
  if (directory != nullptr && *directory != '\0')
    initialDirectory = directory;
  else
    GetHostDirectory(initialDirectory);
  std::string filter;
  std::string defaultExtension;
  BuildFileFilter(extensions, filter, defaultExtension);

  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = window;
  dialog.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
  dialog.lpstrFile = file;
  dialog.nMaxFile = kPathBufferSize - 1;
  dialog.lpstrInitialDir = initialDirectory.c_str();
  dialog.lpstrDefExt = defaultExtension.empty() ? nullptr : defaultExtension.c_str();
  bool chosen = false;
  if (action == kSave) {
    dialog.Flags = OFN_PATHMUSTEXIST | OFN_OVERWRITEPROMPT;
    chosen = system_libraries::GetSaveFileNameA(&dialog) != 0;
  } else {
    dialog.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    chosen = system_libraries::GetOpenFileNameA(&dialog) != 0;
  }
  fileName = chosen ? std::string(file) : std::string();
}

bool IEditorWindow::AskForColor(Color& colour, const char* title) {
  if (window == nullptr) return false;
  if (!customColours) customColours = std::make_unique<std::uint32_t[]>(kCustomColourCount);
  CHOOSECOLORA chooser{};
  chooser.lStructSize = sizeof(chooser);
  chooser.hwndOwner = window;
  chooser.rgbResult = RGB(colour.r, colour.g, colour.b);
  chooser.lpCustColors = reinterpret_cast<COLORREF*>(customColours.get());
  chooser.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ENABLEHOOK | CC_SOLIDCOLOR | CC_ANYCOLOR;
  chooser.lCustData = reinterpret_cast<LPARAM>(title);
  chooser.lpfnHook = ColourDialogHook;
  if (!system_libraries::ChooseColorA(&chooser)) return false;
  colour.r = GetRValue(chooser.rgbResult);
  colour.g = GetGValue(chooser.rgbResult);
  colour.b = GetBValue(chooser.rgbResult);
  return true;
}

bool IEditorWindow::OpenWebAddress(const char* url, const char* title, const char* confirm,
                                   const char* error) {
  if (confirm != nullptr && MessageBoxA(window, confirm, title, MB_YESNO) != IDYES) return false;
  DWORD connection = 0;
  if (url != nullptr && system_libraries::InternetGetConnectedState(&connection, 0) &&
      system_libraries::ShellExecuteA(nullptr, "open", url, nullptr, nullptr, SW_SHOWNORMAL) > 32)
    return true;
  if (error != nullptr) MessageBoxA(window, error, title, MB_OK);
  return false;
}

} // namespace quorvane
