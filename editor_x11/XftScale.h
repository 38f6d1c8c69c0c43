#pragma once
// The screen scale an X desktop asks for: its Xft.dpi resource (in the root
// window's RESOURCE_MANAGER property, where xrdb puts it) over 96, read
// afresh over a connection of its own. Any thread.

#include <string>

namespace quorvane {

// The Xft.dpi value of a resource database text; 0 when it names none.
double XftDpiOf(const std::string& resources);
// The scale of the display named by DISPLAY; 0 when there is none or it sets
// no Xft.dpi.
double XftScaleFactor();

} // namespace quorvane
