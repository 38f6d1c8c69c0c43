// Editing an entry's text, the keys that do it, and the double-click rule,
// as a user at the keyboard and mouse sees them.

#include "editor_x11/EntryText.h"
#include "editor/DoubleClickRule.h"
#include "editor_x11/X11Keyboard.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace quorvane {
namespace {

// Keys as letters: < > Home(^) End($) Backspace(B) Delete(D), anything else typed.
std::string Edit(const char* initial, const std::string& keys) {
  EntryText entry;
  entry.Reset(initial);
  static const std::map<char, void (EntryText::*)()> kKeys = {
      {'<', &EntryText::Left}, {'>', &EntryText::Right},     {'^', &EntryText::Home},
      {'$', &EntryText::End},  {'B', &EntryText::Backspace}, {'D', &EntryText::Delete}};
  for (char k : keys) {
    const auto key = kKeys.find(k);
    if (key != kKeys.end())
      (entry.*key->second)();
    else
      entry.Insert(std::string(1, k));
  }
  std::string shown = entry.Text();
  shown.insert(entry.Caret(), "|");
  return shown;
}

TEST(EntryText, EditsAsAnEditBoxDoes) {
  struct Case {
    const char* initial;
    const char* keys;
    const char* expected; // | marks the caret
  };
  const Case cases[] = {
      {"50.0", "42", "42|"},               // typing replaces the opening selection
      {"50.0", "B", "|"},                  // so does Backspace
      {"50.0", "<1", "1|50.0"},            // Left collapses the selection to its start
      {"50.0", ">B", "50.|"},              // Right to its end
      {"50.0", "^DD", "|.0"},              // Delete takes the character after
      {"50.0", "$<<B5", "55|.0"},          // Backspace the one before
      {"", "BD<>", "|"},                   // nothing to remove or pass
      {"\xC3\xA4x", "$<<B", "|\xC3\xA4x"}, // whole characters, never half of one
      {"\xC3\xA4x", "$<B", "|x"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Edit(c.initial, c.keys), c.expected) << c.initial << " " << c.keys;
}

TEST(EntryText, KeepsToItsLimit) {
  EntryText entry;
  const std::string huge(EntryText::kMaxBytes + 10, '7');
  entry.Reset(huge.c_str());
  EXPECT_EQ(entry.Text().size(), EntryText::kMaxBytes);
  entry.End();
  entry.Insert("8");
  EXPECT_EQ(entry.Text().size(), EntryText::kMaxBytes);
  entry.Reset(nullptr);
  EXPECT_EQ(entry.Text(), "");
  entry.PlaceCaret(99);
  EXPECT_EQ(entry.Caret(), 0u);
}

TEST(EntryKeys, SymbolsBecomeActionsOrCharacters) {
  struct Case {
    std::uint32_t keysym;
    EntryKey key;
    const char* text;
  };
  const Case cases[] = {
      {0xFF0D, EntryKey::Enter, ""},
      {0xFF8D, EntryKey::Enter, ""},
      {0xFF1B, EntryKey::Escape, ""},
      {0xFF08, EntryKey::Backspace, ""},
      {0xFFFF, EntryKey::Delete, ""},
      {0xFF51, EntryKey::Left, ""},
      {0xFF98, EntryKey::Right, ""},
      {0xFF50, EntryKey::Home, ""},
      {0xFF57, EntryKey::End, ""},
      {'4', EntryKey::Character, "4"},
      {0xFFB7, EntryKey::Character, "7"},
      {0xFFAE, EntryKey::Character, "."},
      {0xE4, EntryKey::Character, "\xC3\xA4"},
      {0x10020AC, EntryKey::Character, "\xE2\x82\xAC"},
      {0xFF09, EntryKey::Ignored, ""},
      {0xFFBE, EntryKey::Ignored, ""}, // Tab, F1
  };
  for (const Case& c : cases) {
    const EntryKeyPress press = EntryKeyForSymbol(c.keysym);
    EXPECT_EQ(press.key, c.key) << std::hex << c.keysym;
    EXPECT_EQ(press.text, c.text) << std::hex << c.keysym;
  }
}

TEST(DoubleClickRule, PairsTwoPressesCloseInTimeAndPlace) {
  struct Press {
    int x, y;
    std::uint32_t time;
    bool doubles;
  };
  const Press presses[] = {
      {10, 10, 1000, false},       {12, 8, 1500, true},  // at the limits of time and box
      {12, 8, 1600, false},                              // a third press starts afresh
      {15, 8, 1700, false},                              // too far
      {15, 8, 2201, false},                              // too late
      {15, 8, 0xFFFFFFF0u, false}, {15, 8, 0x10u, true}, // the clock wraps
  };
  DoubleClickRule rule;
  for (const Press& p : presses)
    EXPECT_EQ(rule.Press(p.x, p.y, p.time), p.doubles) << p.time;
  rule.Press(0, 0, 100);
  rule.Reset();
  EXPECT_FALSE(rule.Press(0, 0, 150));
}

} // namespace
} // namespace quorvane
