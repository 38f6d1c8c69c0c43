#include "FileSystem.h"
#include "SystemError.h"
#include "TemporaryFiles.h"
#include "win32/WideText.h"

#include <windows.h>

#include <cerrno>
#include <fcntl.h>
#include <io.h>
#include <psapi.h>
#include <shellapi.h>
#include <sys/stat.h>

namespace vsthost {

namespace {

// Volume and file index: the file's identity whatever name reaches it.
bool FileIdentity(const std::string& path, BY_HANDLE_FILE_INFORMATION& info) {
  HANDLE file =
      CreateFileW(Wide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool ok = GetFileInformationByHandle(file, &info) != 0;
  CloseHandle(file);
  return ok;
}

// Runs on a thread of its own that the system starts for the event.
BOOL WINAPI RemoveTemporariesAndExit(DWORD) {
  RemoveRegisteredTemporaries();
  // Not ExitProcess: the main thread may hold locks that its clean-up needs.
  TerminateProcess(GetCurrentProcess(), 130);
  return TRUE;
}

// The C library's words for the system's reasons, for LastFileError.
int ErrnoFor(DWORD code) {
  switch (code) {
  case ERROR_FILE_EXISTS:
  case ERROR_ALREADY_EXISTS:
    return EEXIST;
  case ERROR_ACCESS_DENIED:
  case ERROR_SHARING_VIOLATION:
    return EACCES;
  case ERROR_FILE_NOT_FOUND:
  case ERROR_PATH_NOT_FOUND:
  case ERROR_INVALID_NAME:
    return ENOENT;
  case ERROR_DISK_FULL:
    return ENOSPC;
  default:
    return EIO;
  }
}

} // namespace

void PrepareProcess() {
  SetConsoleOutputCP(CP_UTF8);
  SetConsoleCtrlHandler(RemoveTemporariesAndExit, TRUE);
}

std::vector<std::string> CommandLineArguments(int, char**) {
  // The narrow argv has already passed through the ANSI code page.
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> args;
  for (int i = 1; i < count; ++i)
    args.push_back(Utf8(wide[i]));
  LocalFree(wide);
  return args;
}

std::FILE* OpenFile(const std::string& path, const char* mode) {
  return _wfopen(Wide(path).c_str(), Wide(mode).c_str());
}

std::FILE* CreateNewFile(const std::string& path) {
  // Shared for deletion, so that an interruption can remove it while open.
  HANDLE handle =
      CreateFileW(Wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                  CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    errno = ErrnoFor(GetLastError());
    return nullptr;
  }
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_WRONLY | _O_BINARY);
  if (fd < 0) {
    CloseHandle(handle);
    return nullptr;
  }
  std::FILE* file = _fdopen(fd, "wb");
  if (file == nullptr) _close(fd);
  return file;
}

bool TakeOverAttributes(const std::string& target, std::FILE*, std::string& error) {
  // Replacing would fail only after the whole render, or half-way.
  const DWORD attributes = GetFileAttributesW(Wide(target).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_READONLY) == 0)
    return true;
  error = target + ": the file is read-only; it was left as it was";
  return false;
}

bool MoveFileOver(const std::string& from, const std::string& to, std::string& error) {
  if (MoveFileExW(Wide(from).c_str(), Wide(to).c_str(),
                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return true;
  }
  error = to + ": " + LastSystemError();
  return false;
}

void RemoveFile(const std::string& path) {
  DeleteFileW(Wide(path).c_str());
}

bool SeekFile(std::FILE* file, int64_t offset, int whence) {
  return _fseeki64(file, offset, whence) == 0;
}

int64_t TellFile(std::FILE* file) {
  return _ftelli64(file);
}

bool FlushToDisk(std::FILE* file) {
  return std::fflush(file) == 0 && _commit(_fileno(file)) == 0;
}

bool IsFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool SameFile(const std::string& a, const std::string& b) {
  BY_HANDLE_FILE_INFORMATION x, y;
  return FileIdentity(a, x) && FileIdentity(b, y) &&
         x.dwVolumeSerialNumber == y.dwVolumeSerialNumber && x.nFileIndexHigh == y.nFileIndexHigh &&
         x.nFileIndexLow == y.nFileIndexLow;
}

void UseBinaryMode(std::FILE* stream) {
  _setmode(_fileno(stream), _O_BINARY);
}

bool IsTerminal(std::FILE* stream) {
  return _isatty(_fileno(stream)) != 0;
}

int ProcessId() {
  return static_cast<int>(GetCurrentProcessId());
}

int64_t PeakResidentBytes() {
  PROCESS_MEMORY_COUNTERS counters{};
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return -1;
  return static_cast<int64_t>(counters.PeakWorkingSetSize);
}

} // namespace vsthost
