#include "raster/Utf8Decode.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

namespace quorvane {
namespace {

// Decodes from a heap copy of exactly `bytes`, so a read past the end is an
// out-of-bounds access under the sanitizers.
Utf8Char DecodeExact(const std::string& bytes) {
  auto copy = std::make_unique<char[]>(bytes.size());
  std::memcpy(copy.get(), bytes.data(), bytes.size());
  return Utf8Decode(copy.get(), int(bytes.size()));
}

void ExpectChar(const std::string& bytes, std::uint32_t code, int length) {
  const Utf8Char c = DecodeExact(bytes);
  EXPECT_EQ(c.code, code) << "bytes: " << bytes.size();
  EXPECT_EQ(c.length, length);
}

TEST(Utf8Decode, WellFormedSequences) {
  ExpectChar("A", 'A', 1);
  ExpectChar(std::string(1, '\0'), 0, 1);
  ExpectChar("\xC3\xA9", 0xE9, 2);
  ExpectChar("\xC2\x80", 0x80, 2);
  ExpectChar("\xDF\xBF", 0x7FF, 2);
  ExpectChar("\xE2\x82\xAC", 0x20AC, 3);
  ExpectChar("\xE0\xA0\x80", 0x800, 3);
  ExpectChar("\xEF\xBF\xBF", 0xFFFF, 3);
  ExpectChar("\xEE\x80\x80", 0xE000, 3);
  // Beyond 16 bits the cache has no glyphs: a space stands in.
  ExpectChar("\xF0\x9F\x8E\xB5", ' ', 4);
  ExpectChar("\xF4\x8F\xBF\xBF", ' ', 4);
  // Only the first character is read.
  ExpectChar("\xC3\xA9XYZ", 0xE9, 2);
}

TEST(Utf8Decode, MalformedLeadBytesStandAlone) {
  ExpectChar("\x80", 0x80, 1); // stray continuation
  ExpectChar("\xBF\xBF", 0xBF, 1);
  ExpectChar("\xC0\x80", 0xC0, 1);     // overlong NUL
  ExpectChar("\xC1\xBF", 0xC1, 1);     // overlong
  ExpectChar("\xE0\x80\xAF", 0xE0, 1); // overlong three-byte form
  ExpectChar("\xE0\x9F\xBF", 0xE0, 1);
  ExpectChar("\xF0\x80\x80\xAF", 0xF0, 1);
  ExpectChar("\xED\xA0\x80", 0xED, 1); // surrogate half
  ExpectChar("\xED\xBF\xBF", 0xED, 1);
  ExpectChar("\xF4\x90\x80\x80", 0xF4, 1); // above U+10FFFF
  ExpectChar("\xF5\x80\x80\x80", 0xF5, 1);
  ExpectChar("\xFF", 0xFF, 1);
  ExpectChar("\xC3\xC3", 0xC3, 1); // continuation missing
  ExpectChar("\xE2\x82\x41", 0xE2, 1);
}

TEST(Utf8Decode, TruncatedSequencesNeverReadPastTheEnd) {
  ExpectChar("\xC3", 0xC3, 1);
  ExpectChar("\xE2\x82", 0xE2, 1);
  ExpectChar("\xE2", 0xE2, 1);
  ExpectChar("\xF0\x9F\x8E", 0xF0, 1);
  // A longer buffer with a shorter limit: the bytes beyond it are ignored.
  EXPECT_EQ(Utf8Decode("\xE2\x82\xAC", 2).code, 0xE2u);
  EXPECT_EQ(Utf8Decode("\xE2\x82\xAC", 2).length, 1);
}

TEST(Utf8Decode, NothingToReadGivesNothing) {
  EXPECT_EQ(Utf8Decode("A", 0).length, 0);
  EXPECT_EQ(Utf8Decode("A", -5).length, 0);
  EXPECT_EQ(Utf8Decode(nullptr, 3).length, 0);
}

} // namespace
} // namespace quorvane
