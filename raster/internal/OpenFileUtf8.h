#pragma once
// Opening a file for reading by a UTF-8 name, with the platform's own idea of
// file names (UTF-16 on Windows).

#include <cstdio>

namespace quorvane::internal {

// Opens for binary reading; null when the file cannot be opened.
std::FILE* OpenFileUtf8(const char* path);

} // namespace quorvane::internal
