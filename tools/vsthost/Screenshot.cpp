#include "Screenshot.h"

#include "FileSystem.h"
#include "ReplacingFile.h"

#if defined(_WIN32)
#include "editor_win32/EditorHostFrame.h"
#else
#include "editor_x11/X11ScreenshotHost.h"
#endif

namespace vsthost {
namespace {

// How long the editor runs before its picture is taken: a few frames.
constexpr int kScreenshotWaitMs = 300;

} // namespace

bool SaveScreenshot(const VstPlugin& plugin, const std::string& path, std::string& error) {
  const std::string temporary = TemporaryNameBeside(path, 0);
  if (quorvane::SaveEditorScreenshot(plugin.Effect(), temporary.c_str(), kScreenshotWaitMs) &&
      MoveFileOver(temporary, path, error)) {
    return true;
  }
  RemoveFile(temporary);
#if defined(_WIN32)
  error = "could not open the editor or write " + path;
#else
  error = "could not open the editor on the X server (DISPLAY) or write " + path;
#endif
  return false;
}

} // namespace vsthost
