#include "Screenshot.h"

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
  // Opened by the host, so that any name the host accepts works here too.
  ReplacingFile file;
  if (!file.Open(path, error)) return false;
  if (quorvane::SaveEditorScreenshot(plugin.Effect(), file.Stream(), kScreenshotWaitMs))
    return file.Commit(error);
  file.Discard();
#if defined(_WIN32)
  error = "could not open the editor or write " + path;
#else
  error = "could not open the editor on the X server (DISPLAY) or write " + path;
#endif
  return false;
}

} // namespace vsthost
