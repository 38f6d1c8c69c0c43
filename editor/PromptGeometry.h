#pragma once
// Where an editor window places the prompts for a parameter's value: the
// list of its value names and the edit box for a typed value, and the free
// text entries. The same boxes on every platform; pure, so they can be
// checked without a window. Editor window thread.

#include "raster/Rect.h"

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

} // namespace quorvane
