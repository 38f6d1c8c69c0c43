#pragma once
// The text of an inline entry while the user edits it: the characters, the
// caret and the selection, moved by whole UTF-8 characters. The entry opens
// with everything selected; typing replaces the selection. Pure, so it can
// be checked without a window; editor window thread.

#include <cstddef>
#include <string>

namespace quorvane {

class EntryText {
public:
  // As much as the Windows entry hands over on commit.
  static constexpr std::size_t kMaxBytes = 1000;

  // The text, cut to the limit on a character boundary, all of it selected.
  void Reset(const char* text);
  // Replaces the selection; text that would pass the limit is refused whole.
  void Insert(const std::string& utf8);
  // The selection, or else the character before (after) the caret.
  void Backspace();
  void Delete();
  // A selection collapses to its near end; otherwise the caret moves.
  void Left();
  void Right();
  void Home();
  void End();
  // A click in the entry: the caret at that byte offset, nothing selected.
  void PlaceCaret(std::size_t offset);

  const std::string& Text() const { return text; }
  std::size_t Caret() const { return caret; }
  std::size_t SelectionStart() const { return caret < anchor ? caret : anchor; }
  std::size_t SelectionEnd() const { return caret < anchor ? anchor : caret; }
  bool HasSelection() const { return caret != anchor; }

private:
  std::size_t Previous(std::size_t at) const;
  std::size_t Next(std::size_t at) const;
  void EraseSelection();

  std::string text;
  std::size_t caret = 0;
  std::size_t anchor = 0; // the selection's other end
};

} // namespace quorvane
