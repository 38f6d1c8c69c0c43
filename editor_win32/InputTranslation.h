#pragma once
// How the editor window turns Win32 input into the surface's terms: virtual
// keys into the surface's key codes, wheel deltas into notches, and the
// button flags of a mouse message into MouseMods. Pure functions, so they
// can be checked without a window; called on the editor window's thread.

#include "editor/HostWheelStep.h"
#include "editor/MouseMods.h"

#include <cstdint>

namespace quorvane {

inline constexpr int kUntranslatedKey = -1;
inline constexpr int kWheelDeltaPerNotch = 120;

// The surface's key code for a virtual-key code: Space 0, Up 1, Down 2,
// Left 3, Right 4, digits 5-14, letters 15-40; kUntranslatedKey otherwise.
constexpr int KeyCodeForVirtualKey(std::uint32_t vk) {
  switch (vk) {
  case 0x20:
    return 0;
  case 0x26:
    return 1;
  case 0x28:
    return 2;
  case 0x25:
    return 3;
  case 0x27:
    return 4;
  default:
    break;
  }
  if (vk >= 0x30 && vk <= 0x39) return static_cast<int>(vk) - 43;
  if (vk >= 0x41 && vk <= 0x5A) return static_cast<int>(vk) - 50;
  return kUntranslatedKey;
}

// Whole notches of a wheel delta, truncated toward zero (119 gives none).
constexpr int WheelNotches(int delta) {
  return delta / kWheelDeltaPerNotch;
}

// The button and modifier flags of a mouse message's wParam (MK_LBUTTON 1,
// MK_RBUTTON 2, MK_SHIFT 4, MK_CONTROL 8); alt comes from the key state.
constexpr MouseMods ModsFromButtonFlags(std::uintptr_t flags, bool altDown) {
  MouseMods mods;
  mods.leftButton = (flags & 0x1) != 0;
  mods.rightButton = (flags & 0x2) != 0;
  mods.shift = (flags & 0x4) != 0;
  mods.ctrl = (flags & 0x8) != 0;
  mods.alt = altDown;
  return mods;
}

// The signed 16-bit coordinates packed into a mouse message's lParam.
constexpr int LowWordSigned(std::intptr_t lParam) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(lParam & 0xFFFF));
}
constexpr int HighWordSigned(std::intptr_t lParam) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>((lParam >> 16) & 0xFFFF));
}

} // namespace quorvane
