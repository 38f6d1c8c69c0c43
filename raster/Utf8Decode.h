#pragma once
// Reading one character of editor text (UTF-8) for the glyph cache.

#include <cstdint>

namespace quorvane {

struct Utf8Char {
  std::uint32_t code = 0; // 0..0xFFFF
  int length = 0;         // bytes consumed; 0 only when nothing is available
};

// Decodes the character at text, reading at most `available` bytes. Two- and
// three-byte sequences give their code; four-byte sequences (outside the
// 16-bit range the cache indexes) give a space. A byte that does not start a
// well-formed sequence - stray continuation, overlong form, surrogate,
// truncated sequence - is taken alone as the code of its own value.
Utf8Char Utf8Decode(const char* text, int available);

} // namespace quorvane
