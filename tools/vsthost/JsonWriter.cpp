#include "JsonWriter.h"

#include "TextNumbers.h"

#include <cmath>
#include <cstdio>

namespace vsthost {
namespace {

// Length of the valid UTF-8 sequence at text[i], or 0.
size_t Utf8Length(const std::string& text, size_t i) {
  const auto lead = static_cast<unsigned char>(text[i]);
  const size_t length = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
  if (lead >= 0xF5 || length == 0 || i + length > text.size()) return 0;
  for (size_t k = 1; k < length; ++k) {
    if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return 0;
  }
  return length;
}

} // namespace

void JsonWriter::Separate() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (!hasItems_.empty()) {
    if (hasItems_.back()) out_ += ',';
    hasItems_.back() = true;
  }
}

JsonWriter& JsonWriter::Open(char bracket) {
  Separate();
  out_ += bracket;
  hasItems_.push_back(false);
  return *this;
}

JsonWriter& JsonWriter::Close(char bracket) {
  out_ += bracket;
  hasItems_.pop_back();
  return *this;
}

void JsonWriter::Quoted(const std::string& text) {
  out_ += '"';
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == '"' || c == '\\') {
      out_ += '\\';
      out_ += static_cast<char>(c);
    } else if (c < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", c);
      out_ += escape;
    } else if (c < 0x80) {
      out_ += static_cast<char>(c);
    } else if (const size_t n = Utf8Length(text, i)) {
      out_.append(text, i, n);
      i += n - 1;
    } else {
      // A byte of some 8-bit code page: read it as Latin-1.
      out_ += static_cast<char>(0xC0 | c >> 6);
      out_ += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  out_ += '"';
}

JsonWriter& JsonWriter::Key(const std::string& key) {
  Separate();
  Quoted(key);
  out_ += ':';
  afterKey_ = true;
  return *this;
}

JsonWriter& JsonWriter::String(const std::string& text) {
  Separate();
  Quoted(text);
  return *this;
}

JsonWriter& JsonWriter::Number(double value) {
  Separate();
  out_ += std::isfinite(value) ? NumberText(value) : "null";
  return *this;
}

JsonWriter& JsonWriter::Bool(bool value) {
  Separate();
  out_ += value ? "true" : "false";
  return *this;
}

} // namespace vsthost
