#pragma once
// The keys an open text entry understands, from X key events: the server's
// keyboard map turns a key code and the shift state into a key symbol, and
// the symbol into an editing action or a typed character. Editor window
// thread.

#include <xcb/xcb.h>

#include <cstdint>
#include <string>
#include <vector>

namespace quorvane {

enum class EntryKey {
  Ignored,
  Character,
  Enter,
  Escape,
  Backspace,
  Delete,
  Left,
  Right,
  Home,
  End
};

struct EntryKeyPress {
  EntryKey key = EntryKey::Ignored;
  std::string text; // UTF-8, for EntryKey::Character
};

// The action of a key symbol; printable Latin-1 and Unicode symbols type
// themselves.
EntryKeyPress EntryKeyForSymbol(std::uint32_t keysym);

class X11Keyboard {
public:
  // Reads the map once; an empty map answers no symbol.
  void Load(xcb_connection_t* connection);
  // The symbol of a key code in the group's first (unshifted) or second
  // (shifted) column; 0 when there is none.
  std::uint32_t Symbol(xcb_keycode_t code, bool shifted) const;

private:
  std::vector<std::uint32_t> symbols;
  int perCode = 0;
  int firstCode = 0;
};

} // namespace quorvane
