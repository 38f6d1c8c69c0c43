#include "raster/BlitBitmap.h"

#include "tests/raster/TestBitmaps.h"

#include <gtest/gtest.h>

#include <climits>

namespace quorvane {
namespace {

using test::At;
using test::Filled;

constexpr BlendMode kCopyAlpha = kBlendCopy | kBlendSourceAlpha;
constexpr BlendMode kAddAlpha = kBlendAdd | kBlendSourceAlpha;

std::uint32_t BlitOne(std::uint32_t dest, std::uint32_t source, float weight, BlendMode mode) {
  auto d = Filled(1, 1, dest);
  auto s = Filled(1, 1, source);
  BlitBitmap(d.get(), s.get(), 0, 0, 0, 0, 1, 1, weight, mode);
  return At(*d, 0, 0);
}

// Colour channels 200, 40, 10 over 40, 200, 10: one positive and one negative
// difference, so truncation toward zero (not rounding down) is visible.
constexpr std::uint32_t kDest = 0x0028C80A;

TEST(BlitBitmap, CopyThroughSourceAlphaAtFullWeight) {
  EXPECT_EQ(BlitOne(kDest, 0x00C8280A, 1.0f, kCopyAlpha), kDest) << "alpha 0 leaves the pixel";
  EXPECT_EQ(BlitOne(kDest, 0xFFC8280A, 1.0f, kCopyAlpha), 0xFFC8280Au);
  // alpha 128: d = s + (d - s) * 127 / 256 per colour, alpha 0 + 128.
  // red 200 + (40 - 200) * 127 / 256 = 200 - 79; green 40 + 160 * 127 / 256 = 40 + 79.
  EXPECT_EQ(BlitOne(kDest, 0x80C8280A, 1.0f, kCopyAlpha), 0x8079770Au);
}

TEST(BlitBitmap, CopyThroughSourceAlphaJustBelowFullWeight) {
  // w = 255: l = 255 * 129 / 256 = 128, so the colour moves halfway.
  EXPECT_EQ(BlitOne(kDest, 0x80C8280A, 0.999f, kCopyAlpha), 0x8078780Au);
  EXPECT_EQ(BlitOne(kDest, 0x00C8280A, 0.999f, kCopyAlpha), kDest);
  // Destination alpha saturates at 255.
  EXPECT_EQ(BlitOne(0xF0000000, 0x80000000, 0.999f, kCopyAlpha) >> 24, 255u);
}

TEST(BlitBitmap, PlainCopyBlendsEveryChannelIncludingAlpha) {
  EXPECT_EQ(BlitOne(0x10203040, 0x90A0B0C0, 1.0f, kBlendCopy), 0x90A0B0C0u);
  // Weight 0.5 averages words by halves: (0x90 >> 1) + (0x10 >> 1) = 0x50.
  EXPECT_EQ(BlitOne(0x10203040, 0x91A0B0C0, 0.5f, kBlendCopy), 0x50607080u);
  // Weight 0.25 (w = 64): d = s + (d - s) * 192 / 256.
  EXPECT_EQ(BlitOne(0x00000000, 0x00000080, 0.25f, kBlendCopy), 0x20u);
  EXPECT_EQ(BlitOne(0x000000FF, 0x00000000, 0.25f, kBlendCopy), 0xBFu);
}

TEST(BlitBitmap, AddSaturatesEachChannel) {
  EXPECT_EQ(BlitOne(0x10C8C8C8, 0xFF646464, 1.0f, kAddAlpha), 0xFFFFFFFFu);
  // l = 256 * 128 / 256 = 128: half the source added, alpha by a * l / 256.
  EXPECT_EQ(BlitOne(0x00101010, 0x7F402010, 1.0f, kAddAlpha), 0x3F302018u);
  EXPECT_EQ(BlitOne(0x00101010, 0x00FFFFFF, 1.0f, kAddAlpha), 0x00101010u);
  EXPECT_EQ(BlitOne(0x80F0F0F0, 0x80202020, 1.0f, kBlendAdd), 0xFFFFFFFFu);
}

TEST(BlitBitmap, DodgeBrightensByTheSource) {
  // k = 128: d * 256 / 128; k = 255 saturates any non-zero channel.
  EXPECT_EQ(BlitOne(0x00643200, 0x0080FF80, 1.0f, kBlendDodge), 0x00C8FF00u);
  // Through source alpha 0 nothing changes.
  EXPECT_EQ(BlitOne(0x00643200, 0x0080FF80, 1.0f, kBlendDodge | kBlendSourceAlpha), 0x00643200u);
}

TEST(BlitBitmap, TinyWeightsAndUnknownOperatorsDrawNothing) {
  for (BlendMode mode : {kBlendCopy, kCopyAlpha, kBlendAdd, kAddAlpha, kBlendDodge})
    EXPECT_EQ(BlitOne(kDest, 0xFFFFFFFF, 0.001f, mode), kDest) << mode;
  for (BlendMode mode : {BlendMode{3}, BlendMode{4}, BlendMode{5}, BlendMode{240}})
    EXPECT_EQ(BlitOne(kDest, 0xFFFFFFFF, 0.7f, mode), kDest) << mode;
  EXPECT_EQ(BlitOne(kDest, 0xFFFFFFFF, -1.0f, kBlendCopy), kDest);
}

TEST(BlitBitmap, WeightsAboveOneActAsFullWeight) {
  EXPECT_EQ(BlitOne(0x10101010, 0x80402010, 3.0f, kBlendCopy), 0x80402010u);
  EXPECT_EQ(BlitOne(kDest, 0x80C8280A, 2.0f, kCopyAlpha), 0x8079770Au);
}

TEST(BlitBitmap, NegativeDestinationMovesTheSourceStart) {
  auto source = Filled(10, 1, 0);
  test::Number(*source);
  auto dest = Filled(10, 1, 0);
  BlitBitmap(dest.get(), source.get(), -5, 0, 0, 0, 10, 1, 1.0f, kBlendCopy);
  for (int x = 0; x < 5; ++x)
    EXPECT_EQ(At(*dest, x, 0), At(*source, x + 5, 0)) << x;
  for (int x = 5; x < 10; ++x)
    EXPECT_EQ(At(*dest, x, 0), 0u) << x;
}

TEST(BlitBitmap, NegativeSourceStartMovesTheDestination) {
  auto source = Filled(4, 4, 0);
  test::Number(*source);
  auto dest = Filled(6, 6, 0);
  BlitBitmap(dest.get(), source.get(), 1, 1, -2, -1, 4, 4, 1.0f, kBlendCopy);
  // Source (0, 0) lands at (1 + 2, 1 + 1); the rectangle's right edge stays at 2.
  EXPECT_EQ(At(*dest, 3, 2), At(*source, 0, 0));
  EXPECT_EQ(At(*dest, 4, 3), At(*source, 1, 1));
  EXPECT_EQ(At(*dest, 5, 2), 0u);
  EXPECT_EQ(At(*dest, 2, 2), 0u);
}

TEST(BlitBitmap, ClipsToBothBitmapsAndSurvivesHugeCoordinates) {
  auto source = Filled(4, 4, 0xFFFFFFFF);
  auto dest = Filled(4, 4, 0);
  const int cases[][6] = {{INT_MAX, 0, 0, 0, 4, 4},
                          {0, INT_MIN, 0, 0, 4, 4},
                          {INT_MIN, INT_MIN, 0, 0, 4, 4},
                          {0, 0, INT_MAX, 0, INT_MAX, 4},
                          {0, 0, INT_MIN, INT_MIN, 4, 4},
                          {0, 0, 0, 0, -4, 4},
                          {0, 0, 0, 0, 4, 0},
                          {4, 0, 0, 0, 4, 4},
                          {-4, 0, 0, 0, 4, 4}};
  for (const auto& c : cases) {
    for (BlendMode mode : {kBlendCopy, kCopyAlpha})
      BlitBitmap(dest.get(), source.get(), c[0], c[1], c[2], c[3], c[4], c[5], 1.0f, mode);
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 4; ++x)
        ASSERT_EQ(At(*dest, x, y), 0u) << c[0] << "," << c[1];
  }
  // A huge rectangle that does overlap is limited to what both bitmaps hold.
  BlitBitmap(dest.get(), source.get(), -2, 1, 0, 0, INT_MAX, INT_MAX, 1.0f, kBlendCopy);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x)
      EXPECT_EQ(At(*dest, x, y), y >= 1 && x < 2 ? 0xFFFFFFFFu : 0u);
}

TEST(BlitBitmap, MissingOrEmptyBitmapsDoNothing) {
  auto bitmap = Filled(2, 2, 7);
  HeapBitmap empty(0, 0, 4);
  BlitBitmap(nullptr, bitmap.get(), 0, 0, 0, 0, 2, 2, 1.0f, kBlendCopy);
  BlitBitmap(bitmap.get(), nullptr, 0, 0, 0, 0, 2, 2, 1.0f, kBlendCopy);
  BlitBitmap(bitmap.get(), &empty, 0, 0, 0, 0, 2, 2, 1.0f, kBlendCopy);
  BlitBitmap(&empty, bitmap.get(), 0, 0, 0, 0, 2, 2, 1.0f, kBlendCopy);
  EXPECT_EQ(At(*bitmap, 1, 1), 7u);
}

TEST(BlitBitmap, OverlappingCopyWithinOneBitmap) {
  auto bitmap = Filled(8, 1, 0);
  test::Number(*bitmap);
  BlitBitmap(bitmap.get(), bitmap.get(), 2, 0, 0, 0, 6, 1, 1.0f, kBlendCopy);
  for (int x = 2; x < 8; ++x)
    EXPECT_EQ(At(*bitmap, x, 0) & 0xFF, std::uint32_t(x - 2));
}

TEST(BlitBitmap, HonoursBottomUpRowsOnBothSides) {
  test::BottomUpBitmap source(3, 3);
  test::Number(source);
  test::BottomUpBitmap dest(3, 3);
  BlitBitmap(&dest, &source, 0, 0, 0, 0, 3, 3, 1.0f, kBlendCopy);
  BlitBitmap(&dest, &source, 0, 0, 0, 0, 3, 3, 0.3f, kBlendCopy);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x)
      EXPECT_EQ(At(dest, x, y), At(source, x, y));
  // Picture row 0 is the last row in memory.
  EXPECT_EQ(dest.Pixels()[2 * dest.RowStride()], 0xFF000000u);
}

} // namespace
} // namespace quorvane
