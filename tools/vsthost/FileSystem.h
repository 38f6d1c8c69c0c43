// The few file-system services the host needs, with names in UTF-8 on every
// platform (wide-character calls on Windows, so no name is altered by a code
// page). Used from the host's main thread.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace vsthost {

// Once at start-up: a write past a file-size limit fails instead of killing
// the process (so its temporary file is removed); an interruption (Ctrl-C,
// a termination request) removes the temporary files and then ends the
// process as the signal would (a shell sees 130 after Ctrl-C; Windows exits
// with 130); the console shows UTF-8.
void PrepareProcess();
// The command line in UTF-8, without the program name.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

std::FILE* OpenFile(const std::string& path, const char* mode);
// Creates a file that must not exist yet, open for writing in binary.
std::FILE* CreateNewFile(const std::string& path);
// Gives a new `temporary` file what must survive its rename over `target`
// (POSIX: the permissions). A target that may not be replaced (read-only on
// Windows) is refused with the reason in `error`.
bool TakeOverAttributes(const std::string& target, std::FILE* temporary, std::string& error);
// Moves `from` over `to` in one step, replacing what `to` was.
bool MoveFileOver(const std::string& from, const std::string& to, std::string& error);
void RemoveFile(const std::string& path);
// 64-bit positions in files of any size.
bool SeekFile(std::FILE* file, int64_t offset, int whence);
int64_t TellFile(std::FILE* file);
// Flushes the stream and asks the system to put its bytes on the disk.
bool FlushToDisk(std::FILE* file);
bool IsFolder(const std::string& path);
// Both names exist and lead to the same file (device and inode, or volume
// and file index), however they are spelt.
bool SameFile(const std::string& a, const std::string& b);

// Standard input or output carries bytes unchanged.
void UseBinaryMode(std::FILE* stream);
bool IsTerminal(std::FILE* stream);
int ProcessId();
// The most memory this process has held resident so far, in bytes.
int64_t PeakResidentBytes();
// The last error of a C library file call (errno) as words.
std::string LastFileError();

// CON, AUX, NUL, COM1... with any extension: Windows opens a device for them.
bool IsWindowsDeviceName(const std::string& path);
// A name that ends in a path separator names a folder.
bool EndsWithSeparator(const std::string& path);
// The last component of a path.
std::string BaseName(const std::string& path);

} // namespace vsthost
