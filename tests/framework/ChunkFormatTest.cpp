#include "framework/ChunkFormat.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace quorvane {

namespace {

StateBuffer FromBytes(const std::vector<uint8_t>& bytes) {
  StateBuffer buffer;
  buffer.Assign(bytes.data(), static_cast<int64_t>(bytes.size()));
  return buffer;
}

} // namespace

TEST(ChunkFormat, StartWritesMagicAndVersionLittleEndian) {
  StateBuffer buffer;
  buffer.AppendInt32(99);
  ASSERT_TRUE(ChunkFormat::Start(buffer));
  const std::vector<uint8_t> expected = {0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00};
  EXPECT_EQ(std::vector<uint8_t>(buffer.Data(), buffer.Data() + buffer.Size()), expected);
}

TEST(ChunkFormat, ReadHeaderFindsWhereTheBodyBegins) {
  const struct {
    std::vector<uint8_t> bytes;
    int32_t pos;
    int32_t version;
  } cases[] = {
      {{0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00, 0xAA}, 8, 0x00010000},
      {{0x74, 0x66, 0x66, 0x70, 0x07, 0x00, 0x00, 0x00}, 8, 7},
      {{0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF0, 0x3F}, 0, 0}, // bare values
      {{0x74, 0x66, 0x66, 0x70, 0x00, 0x00}, -1, 0},            // version cut off
      {{0x74, 0x66}, 0, 0},
      {{}, 0, 0},
  };
  for (const auto& c : cases) {
    int32_t version = -5;
    EXPECT_EQ(ChunkFormat::ReadHeader(FromBytes(c.bytes), &version), c.pos) << c.bytes.size();
    EXPECT_EQ(version, c.version) << c.bytes.size();
  }
}

TEST(ChunkFormat, PresetRecordsRoundTrip) {
  Preset kept;
  std::strcpy(kept.name, "Kept");
  kept.initialised = true;
  kept.state.AppendDouble(0.25);
  Preset empty;
  std::strcpy(empty.name, "Empty");
  StateBuffer buffer;
  ASSERT_TRUE(ChunkFormat::WritePreset(buffer, kept));
  ASSERT_TRUE(ChunkFormat::WritePreset(buffer, empty));
  EXPECT_EQ(buffer.Size(), 4 + 4 + 1 + 8 + 4 + 5 + 1);

  Preset read;
  int32_t pos = ChunkFormat::ReadPresetHeader(buffer, 0, read);
  EXPECT_EQ(pos, 9); // the values begin after name and flag
  EXPECT_STREQ(read.name, "Kept");
  EXPECT_TRUE(read.initialised);
  read.state.AppendDouble(1.0);
  pos = ChunkFormat::ReadPresetHeader(buffer, pos + 8, read);
  EXPECT_EQ(pos, buffer.Size());
  EXPECT_STREQ(read.name, "Empty");
  EXPECT_FALSE(read.initialised);
  EXPECT_TRUE(read.state.Empty()); // an uninitialised preset keeps no stale values
}

TEST(ChunkFormat, BrokenPresetRecordsAreRefused) {
  const struct {
    std::vector<uint8_t> bytes;
    const char* name; // afterwards
  } cases[] = {
      {{0xFF, 0xFF, 0xFF, 0xFF, 0x01}, "Before"},     // negative name length
      {{0x09, 0x00, 0x00, 0x00, 'a', 'b'}, "Before"}, // name past the end
      {{0x02, 0x00}, "Before"},                       // length cut off
      {{0x02, 0x00, 0x00, 0x00, 'a', 'b'}, "ab"},     // flag missing
  };
  for (const auto& c : cases) {
    Preset preset;
    std::strcpy(preset.name, "Before");
    EXPECT_EQ(ChunkFormat::ReadPresetHeader(FromBytes(c.bytes), 0, preset), -1) << c.name;
    EXPECT_STREQ(preset.name, c.name);
  }
  Preset preset;
  EXPECT_EQ(ChunkFormat::ReadPresetHeader(StateBuffer{}, -1, preset), -1);
}

} // namespace quorvane
