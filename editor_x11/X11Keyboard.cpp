#include "editor_x11/X11Keyboard.h"

#include <cstdlib>

namespace quorvane {
namespace {

void AppendUtf8(std::string& out, std::uint32_t code) {
  if (code < 0x80) {
    out += char(code);
  } else if (code < 0x800) {
    out += char(0xC0 | code >> 6);
    out += char(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += char(0xE0 | code >> 12);
    out += char(0x80 | (code >> 6 & 0x3F));
    out += char(0x80 | (code & 0x3F));
  }
}

} // namespace

EntryKeyPress EntryKeyForSymbol(std::uint32_t keysym) {
  // The editing keys, on the main block and on the keypad.
  struct Action {
    std::uint32_t keysym;
    EntryKey key;
  };
  static constexpr Action kActions[] = {
      {0xFF0D, EntryKey::Enter},     {0xFF8D, EntryKey::Enter},  {0xFF1B, EntryKey::Escape},
      {0xFF08, EntryKey::Backspace}, {0xFFFF, EntryKey::Delete}, {0xFF9F, EntryKey::Delete},
      {0xFF51, EntryKey::Left},      {0xFF96, EntryKey::Left},   {0xFF53, EntryKey::Right},
      {0xFF98, EntryKey::Right},     {0xFF50, EntryKey::Home},   {0xFF95, EntryKey::Home},
      {0xFF57, EntryKey::End},       {0xFF9C, EntryKey::End},
  };
  EntryKeyPress press;
  for (const Action& action : kActions)
    if (action.keysym == keysym) {
      press.key = action.key;
      return press;
    }
  std::uint32_t code = 0;
  if ((keysym >= 0x20 && keysym <= 0x7E) || (keysym >= 0xA0 && keysym <= 0xFF))
    code = keysym;
  else if (keysym >= 0xFFB0 && keysym <= 0xFFB9) // keypad digits
    code = '0' + (keysym - 0xFFB0);
  else if (keysym == 0xFFAE || keysym == 0xFFAC)
    code = keysym == 0xFFAE ? '.' : ',';
  else if (keysym == 0xFFAD || keysym == 0xFFAB)
    code = keysym == 0xFFAD ? '-' : '+';
  else if (keysym >= 0x01000100 && keysym <= 0x0100FFFF)
    code = keysym - 0x01000000;
  if (code != 0) {
    press.key = EntryKey::Character;
    AppendUtf8(press.text, code);
  }
  return press;
}

void X11Keyboard::Load(xcb_connection_t* connection) {
  const xcb_setup_t* setup = xcb_get_setup(connection);
  firstCode = setup->min_keycode;
  const int count = setup->max_keycode - setup->min_keycode + 1;
  xcb_get_keyboard_mapping_reply_t* reply = xcb_get_keyboard_mapping_reply(
      connection, xcb_get_keyboard_mapping(connection, setup->min_keycode, std::uint8_t(count)),
      nullptr);
  symbols.clear();
  perCode = 0;
  if (reply == nullptr) return;
  const xcb_keysym_t* list = xcb_get_keyboard_mapping_keysyms(reply);
  symbols.assign(list, list + xcb_get_keyboard_mapping_keysyms_length(reply));
  perCode = reply->keysyms_per_keycode;
  std::free(reply);
}

std::uint32_t X11Keyboard::Symbol(xcb_keycode_t code, bool shifted) const {
  if (perCode <= 0 || code < firstCode) return 0;
  const std::size_t row = std::size_t(code - firstCode) * std::size_t(perCode);
  if (row + std::size_t(perCode) > symbols.size()) return 0;
  const std::uint32_t plain = symbols[row];
  const std::uint32_t shift = perCode > 1 ? symbols[row + 1] : 0;
  // A key with one symbol shifts a letter to its capital, as the core
  // protocol's rules say.
  if (shifted && shift == 0 && plain >= 'a' && plain <= 'z') return plain - 'a' + 'A';
  return shifted && shift != 0 ? shift : plain;
}

} // namespace quorvane
