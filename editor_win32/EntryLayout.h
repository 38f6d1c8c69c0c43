#pragma once
// The Win32 side of the editor window's entries and dialogs: edit styles and
// the small texts the dialogs need (the entries' boxes are every window's,
// in editor/PromptGeometry.h). Pure functions, free of Win32 types, so they
// can be checked without a window; called on the editor window's thread.

#include "editor/PromptGeometry.h"

#include <cstdint>
#include <string>

namespace quorvane {

// The edit style bits for a text alignment: ES_LEFT 0, ES_CENTER 1, ES_RIGHT 2.
std::uint32_t EditAlignmentStyle(std::int32_t alignment);

// A file dialog's filter from a space-separated extension list ("wav aif"):
// the pattern "*.wav;*.aif" twice (it describes itself), each copy and the
// whole list NUL-terminated. defaultExtension becomes the first extension.
// An absent or empty list leaves both empty.
void BuildFileFilter(const char* extensions, std::string& filter, std::string& defaultExtension);

// The directory part of a module path, with its last backslash; empty when
// the path has no backslash or ends in one.
std::string DirectoryOfPath(const char* path);

} // namespace quorvane
