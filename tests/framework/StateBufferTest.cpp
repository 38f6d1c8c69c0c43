#include "framework/StateBuffer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace quorvane {

namespace {

std::vector<uint8_t> Bytes(const StateBuffer& buffer) {
  return std::vector<uint8_t>(buffer.Data(), buffer.Data() + buffer.Size());
}

} // namespace

TEST(StateBuffer, NumbersAreWrittenLittleEndian) {
  StateBuffer buffer;
  ASSERT_TRUE(buffer.AppendInt32(0x70666674));
  ASSERT_TRUE(buffer.AppendInt32(-2));
  ASSERT_TRUE(buffer.AppendDouble(1.0));
  ASSERT_TRUE(buffer.AppendByte(0xAB));
  const std::vector<uint8_t> expected = {0x74, 0x66, 0x66, 0x70, 0xFE, 0xFF, 0xFF, 0xFF, 0x00,
                                         0x00, 0x00, 0x00, 0x00, 0x00, 0xF0, 0x3F, 0xAB};
  EXPECT_EQ(Bytes(buffer), expected);
}

TEST(StateBuffer, ReadsGiveBackWhatWasWrittenAndStopAtTheEnd) {
  StateBuffer buffer;
  buffer.AppendInt32(-123456);
  buffer.AppendDouble(-0.1);
  buffer.AppendString("abc");
  int32_t i = 0;
  double d = 0.0;
  char text[8];
  int32_t pos = buffer.ReadInt32(&i, 0);
  EXPECT_EQ(pos, 4);
  pos = buffer.ReadDouble(&d, pos);
  EXPECT_EQ(pos, 12);
  pos = buffer.ReadString(text, sizeof text, pos);
  EXPECT_EQ(pos, 19);
  EXPECT_EQ(i, -123456);
  EXPECT_EQ(d, -0.1);
  EXPECT_STREQ(text, "abc");
  EXPECT_EQ(buffer.ReadInt32(&i, pos), -1);
  EXPECT_EQ(buffer.ReadDouble(&d, 12), -1); // only 7 bytes left
  EXPECT_EQ(buffer.ReadDouble(&d, -1), -1);
  EXPECT_EQ(buffer.ReadInt32(&i, 1000), -1);
  uint8_t byte = 0;
  EXPECT_EQ(buffer.ReadByte(&byte, 18), 19);
  EXPECT_EQ(byte, 'c');
  EXPECT_EQ(buffer.ReadByte(&byte, 19), -1);
}

TEST(StateBuffer, StringsWithBadLengthsAreRefusedAndLongOnesCut) {
  StateBuffer buffer;
  buffer.AppendInt32(-5);
  char text[4] = "xyz";
  EXPECT_EQ(buffer.ReadString(text, sizeof text, 0), -1);
  EXPECT_STREQ(text, "");

  StateBuffer pastEnd;
  pastEnd.AppendInt32(10);
  pastEnd.AppendBytes("abc", 3);
  EXPECT_EQ(pastEnd.ReadString(text, sizeof text, 0), -1);

  StateBuffer longer;
  longer.AppendString("abcdefgh");
  longer.AppendString("");
  longer.AppendString(nullptr);
  int32_t pos = longer.ReadString(text, sizeof text, 0);
  EXPECT_EQ(pos, 12);
  EXPECT_STREQ(text, "abc");
  pos = longer.ReadString(text, sizeof text, pos);
  EXPECT_EQ(pos, 16);
  EXPECT_STREQ(text, "");
  EXPECT_EQ(longer.ReadString(text, sizeof text, pos), 20);
}

TEST(StateBuffer, GrowsInWholeGranulesAndKeepsItsBytes) {
  StateBuffer buffer;
  EXPECT_EQ(buffer.Capacity(), 0);
  buffer.AppendByte(7);
  EXPECT_EQ(buffer.Capacity(), StateBuffer::kGranularity);
  std::vector<uint8_t> big(StateBuffer::kGranularity, 0x5A);
  buffer.AppendBytes(big.data(), static_cast<int32_t>(big.size()));
  EXPECT_EQ(buffer.Capacity(), 2 * StateBuffer::kGranularity);
  EXPECT_EQ(buffer.Size(), StateBuffer::kGranularity + 1);
  EXPECT_EQ(buffer.Data()[0], 7);
  EXPECT_EQ(buffer.Data()[StateBuffer::kGranularity], 0x5A);
  buffer.Clear();
  EXPECT_TRUE(buffer.Empty());
  EXPECT_EQ(buffer.Capacity(), 2 * StateBuffer::kGranularity);
}

TEST(StateBuffer, ResizeZeroFillsNewBytesAndRefusesNonsense) {
  StateBuffer buffer;
  buffer.AppendInt32(-1);
  ASSERT_TRUE(buffer.Resize(2));
  ASSERT_TRUE(buffer.Resize(6));
  EXPECT_EQ(Bytes(buffer), (std::vector<uint8_t>{0xFF, 0xFF, 0, 0, 0, 0}));
  EXPECT_FALSE(buffer.Resize(-1));
  EXPECT_FALSE(buffer.Resize(std::numeric_limits<int32_t>::max()));
  EXPECT_EQ(buffer.Size(), 6);
  EXPECT_FALSE(buffer.AppendBytes(nullptr, 3));
  EXPECT_FALSE(buffer.AppendBytes("x", -1));
  EXPECT_EQ(buffer.Size(), 6);
  buffer.FillZero();
  EXPECT_EQ(Bytes(buffer), std::vector<uint8_t>(6, 0));
}

TEST(StateBuffer, AssignCopesWithItsOwnBytes) {
  StateBuffer buffer;
  buffer.AppendBytes("0123456789", 10);
  ASSERT_TRUE(buffer.Assign(buffer.Data() + 2, 5));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(buffer.Data()), 5), "23456");
  ASSERT_TRUE(buffer.Assign(buffer.Data(), buffer.Size()));
  EXPECT_EQ(buffer.Size(), 5);
  // Longer than the allocation behind it: growing would free the source first.
  EXPECT_FALSE(buffer.Assign(buffer.Data(), StateBuffer::kGranularity + 1));
  EXPECT_EQ(buffer.Size(), 5);
  EXPECT_FALSE(buffer.Assign(nullptr, 4));
  EXPECT_TRUE(buffer.Assign(nullptr, 0));
  EXPECT_TRUE(buffer.Empty());
}

TEST(StateBuffer, MovingHandsOverTheBytes) {
  StateBuffer a;
  a.AppendInt32(42);
  StateBuffer b(std::move(a));
  EXPECT_EQ(a.Size(), 0);
  EXPECT_EQ(a.Data(), nullptr);
  StateBuffer c;
  c.AppendByte(1);
  c = std::move(b);
  int32_t v = 0;
  EXPECT_EQ(c.ReadInt32(&v, 0), 4);
  EXPECT_EQ(v, 42);
}

} // namespace quorvane
