#pragma once
// Where the editor window places its inline text entries, and the small
// texts its dialogs need. Pure functions, free of Win32 types, so the
// geometry can be checked without a window; called on the editor window's
// thread.

#include "raster/Rect.h"

#include <cstdint>
#include <string>

namespace quorvane {

struct EntryBox {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// The list of a parameter's value names: wide enough for the longest name,
// one row per name plus one for the closed box, hanging from the control's
// centre.
EntryBox ValueListBox(const Rect& control, int nameCount, int longestNameLength);

// The edit box for a typed value: wide enough for the text of the largest
// value, 16 pixels tall, centred on the control.
EntryBox ValueEditBox(const Rect& control, int largestValueTextLength);

// The entry over a text control covers its rectangle exactly.
EntryBox ControlTextBox(const Rect& control);

// A free text entry: one pixel wider and two shorter than the rectangle.
EntryBox FreeTextBox(const Rect& rect);

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
