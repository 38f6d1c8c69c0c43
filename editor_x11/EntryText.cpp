#include "editor_x11/EntryText.h"

namespace quorvane {
namespace {

bool IsContinuation(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

} // namespace

void EntryText::Reset(const char* initial) {
  text.assign(initial != nullptr ? initial : "");
  if (text.size() > kMaxBytes) {
    std::size_t cut = kMaxBytes;
    while (cut > 0 && IsContinuation(text[cut]))
      --cut;
    text.resize(cut);
  }
  anchor = 0;
  caret = text.size();
}

std::size_t EntryText::Previous(std::size_t at) const {
  if (at == 0) return 0;
  --at;
  while (at > 0 && IsContinuation(text[at]))
    --at;
  return at;
}

std::size_t EntryText::Next(std::size_t at) const {
  if (at >= text.size()) return text.size();
  ++at;
  while (at < text.size() && IsContinuation(text[at]))
    ++at;
  return at;
}

void EntryText::EraseSelection() {
  const std::size_t start = SelectionStart();
  text.erase(start, SelectionEnd() - start);
  caret = anchor = start;
}

void EntryText::Insert(const std::string& utf8) {
  if (text.size() - (SelectionEnd() - SelectionStart()) + utf8.size() > kMaxBytes) return;
  EraseSelection();
  text.insert(caret, utf8);
  caret = anchor = caret + utf8.size();
}

void EntryText::Backspace() {
  if (!HasSelection()) anchor = Previous(caret);
  EraseSelection();
}

void EntryText::Delete() {
  if (!HasSelection()) anchor = Next(caret);
  EraseSelection();
}

void EntryText::Left() {
  caret = anchor = HasSelection() ? SelectionStart() : Previous(caret);
}

void EntryText::Right() {
  caret = anchor = HasSelection() ? SelectionEnd() : Next(caret);
}

void EntryText::Home() {
  caret = anchor = 0;
}

void EntryText::End() {
  caret = anchor = text.size();
}

void EntryText::PlaceCaret(std::size_t offset) {
  if (offset > text.size()) offset = text.size();
  while (offset > 0 && offset < text.size() && IsContinuation(text[offset]))
    --offset;
  caret = anchor = offset;
}

} // namespace quorvane
