#include "FileSystem.h"
#include "SystemError.h"
#include "TemporaryFiles.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vsthost {
namespace {

constexpr int kInterruptions[] = {SIGINT, SIGTERM, SIGHUP};

void RemoveTemporariesAndDie(int signal) {
  RemoveRegisteredTemporaries();
  // Dying of the signal itself tells a calling shell to stop its script too.
  struct sigaction fallback = {};
  fallback.sa_handler = SIG_DFL;
  sigaction(signal, &fallback, nullptr);
  raise(signal);
}

} // namespace

void PrepareProcess() {
  std::signal(SIGXFSZ, SIG_IGN);
  struct sigaction action = {};
  action.sa_handler = RemoveTemporariesAndDie;
  sigemptyset(&action.sa_mask);
  for (int signal : kInterruptions)
    sigaddset(&action.sa_mask, signal);
  for (int signal : kInterruptions) {
    struct sigaction previous = {};
    // A signal ignored by whoever started us (nohup, a background job) stays ignored.
    if (sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler != SIG_IGN)
      sigaction(signal, &action, nullptr);
  }
}

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
  return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

std::FILE* OpenFile(const std::string& path, const char* mode) {
  return std::fopen(path.c_str(), mode);
}

std::FILE* CreateNewFile(const std::string& path) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return nullptr;
  std::FILE* file = fdopen(fd, "wb");
  if (file == nullptr) close(fd);
  return file;
}

bool TakeOverAttributes(const std::string& target, std::FILE* temporary, std::string& error) {
  struct stat info;
  if (stat(target.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return true; // a new file
  if (fchmod(fileno(temporary), info.st_mode & 07777) == 0) return true;
  error = target + ": cannot give the new file its permissions (" + LastSystemError() + ")";
  return false;
}

bool MoveFileOver(const std::string& from, const std::string& to, std::string& error) {
  if (std::rename(from.c_str(), to.c_str()) == 0) return true;
  error = to + ": " + LastSystemError();
  return false;
}

void RemoveFile(const std::string& path) {
  std::remove(path.c_str());
}

bool SeekFile(std::FILE* file, int64_t offset, int whence) {
  return fseeko(file, static_cast<off_t>(offset), whence) == 0;
}

int64_t TellFile(std::FILE* file) {
  return static_cast<int64_t>(ftello(file));
}

bool FlushToDisk(std::FILE* file) {
  return std::fflush(file) == 0 && fsync(fileno(file)) == 0;
}

bool IsFolder(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool SameFile(const std::string& a, const std::string& b) {
  struct stat x, y;
  return stat(a.c_str(), &x) == 0 && stat(b.c_str(), &y) == 0 && x.st_dev == y.st_dev &&
         x.st_ino == y.st_ino;
}

void UseBinaryMode(std::FILE*) {}

bool IsTerminal(std::FILE* stream) {
  return isatty(fileno(stream)) != 0;
}

int ProcessId() {
  return static_cast<int>(getpid());
}

int64_t PeakResidentBytes() {
  struct rusage usage;
  if (getrusage(RUSAGE_SELF, &usage) != 0) return -1;
  return static_cast<int64_t>(usage.ru_maxrss) * 1024; // kilobytes on Linux
}

} // namespace vsthost
