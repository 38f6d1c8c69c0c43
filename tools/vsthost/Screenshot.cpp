#include "Screenshot.h"

#include "FileSystem.h"
#include "ReplacingFile.h"

#if defined(_WIN32)
#include "editor_win32/EditorHostFrame.h"
#endif

namespace vsthost {
namespace {

// How long the editor runs before its picture is taken: a few frames.
constexpr int kScreenshotWaitMs = 300;

} // namespace

bool SaveScreenshot(const VstPlugin& plugin, const std::string& path, std::string& error) {
#if defined(_WIN32)
  const std::string temporary = TemporaryNameBeside(path, 0);
  if (quorvane::SaveEditorScreenshot(plugin.Effect(), temporary.c_str(), kScreenshotWaitMs) &&
      MoveFileOver(temporary, path, error)) {
    return true;
  }
  RemoveFile(temporary);
  error = "could not open the editor or write " + path;
#else
  (void)plugin;
  (void)path;
  error = "--screenshot needs the Windows build";
#endif
  return false;
}

} // namespace vsthost
