#pragma once
// The screen scale Windows gives a window: the DPI of the monitor that holds
// it over 96. GetDpiForWindow is looked up at run time, so that the library
// still loads where user32 lacks it; without it (or without a window) the
// device context's logical pixels answer. Editor window thread.

struct HWND__;

namespace quorvane {

// 0 when nothing can be measured.
double WindowScaleFactor(HWND__* window);

} // namespace quorvane
