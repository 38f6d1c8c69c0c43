// What the Linux editor offers for the modal pop-ups a control may ask for:
// the directories of the host and of the plug-in, and the browser. There are
// no file or colour dialogs; asking for one is answered as if cancelled.

#include "editor_x11/X11EditorWindow.h"

#include <dlfcn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

extern char** environ;

namespace quorvane {

namespace {

std::string DirectoryOf(const char* path) {
  if (path == nullptr) return std::string();
  const char* last = std::strrchr(path, '/');
  if (last == nullptr || last[1] == '\0') return std::string();
  return std::string(path, last + 1);
}

// The opener of the desktop's preferred browser, found before forking: the
// child of a threaded process may only call what is safe after fork.
std::string FindOnPath(const char* program) {
  const char* path = std::getenv("PATH");
  std::string list = path != nullptr ? path : "/usr/bin:/bin";
  std::size_t start = 0;
  while (start <= list.size()) {
    const std::size_t end = std::min(list.find(':', start), list.size());
    const std::string candidate = list.substr(start, end - start) + "/" + program;
    if (end > start && access(candidate.c_str(), X_OK) == 0) return candidate;
    start = end + 1;
  }
  return std::string();
}

} // namespace

void X11EditorWindow::GetHostDirectory(std::string& directory) {
  char path[PATH_MAX] = {};
  const ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
  directory = length > 0 ? DirectoryOf(path) : std::string();
}

void X11EditorWindow::GetPluginDirectory(std::string& directory) {
  Dl_info info{};
  directory = dladdr(reinterpret_cast<void*>(&DirectoryOf), &info) != 0
                  ? DirectoryOf(info.dli_fname)
                  : std::string();
}

void X11EditorWindow::AskForFile(std::string& fileName, std::int32_t, const char*, const char*) {
  fileName.clear();
}

bool X11EditorWindow::AskForColor(Color&, const char*) {
  return false;
}

bool X11EditorWindow::OpenWebAddress(const char* url, const char*, const char* confirm,
                                     const char*) {
  // A question this editor cannot ask is not answered yes.
  if (url == nullptr || *url == '\0' || confirm != nullptr) return false;
  const std::string opener = FindOnPath("xdg-open");
  if (opener.empty()) return false;
  char* const arguments[] = {const_cast<char*>(opener.c_str()), const_cast<char*>(url), nullptr};
  // Forked twice, so that the browser belongs to no thread of the host and
  // leaves no child to reap.
  const pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) {
    const pid_t grandchild = fork();
    if (grandchild == 0) {
      execve(arguments[0], arguments, environ);
      _exit(127);
    }
    _exit(grandchild < 0 ? 1 : 0);
  }
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) return false;
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace quorvane
