#pragma once
// Buttons and modifier keys of one mouse event, filled by the editor window.

namespace quorvane {

struct MouseMods {
  bool leftButton = false;
  bool rightButton = false;
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
};

} // namespace quorvane
