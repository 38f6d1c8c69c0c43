#include "raster/FillRectangle.h"

#include "tests/raster/TestBitmaps.h"

#include <gtest/gtest.h>

#include <climits>

namespace quorvane {
namespace {

using test::At;
using test::Filled;

std::uint32_t FillOne(std::uint32_t dest, std::uint32_t colour, float weight, BlendMode mode) {
  auto d = Filled(1, 1, dest);
  FillRectangle(d.get(), 0, 0, 1, 1, colour, weight, mode);
  return At(*d, 0, 0);
}

TEST(FillRectangle, WholeWordWeightsBlendEveryByteIncludingAlpha) {
  const std::uint32_t d = 0x10204080, k = 0xF0E0C001;
  EXPECT_EQ(FillOne(d, k, 1.0f, kBlendCopy), k);
  EXPECT_EQ(FillOne(d, k, 0.5f, kBlendCopy), 0x80808040u);  // halves of each byte, summed
  EXPECT_EQ(FillOne(d, k, 0.25f, kBlendCopy), 0x48506060u); // 3/4 d + 1/4 k
  EXPECT_EQ(FillOne(d, k, 0.75f, kBlendCopy), 0xB8B0A020u); // 1/4 d + 3/4 k
}

TEST(FillRectangle, OtherWeightsUseTheWeightAsTheColourAlpha) {
  // w = 76: each channel k + (d - k) * 180 / 256; alpha 76 + (alpha - 76) * 180 / 256.
  // red 0 over 200: 0 + 200 * 180 / 256 = 140; alpha 76 + (0 - 76) * 180 / 256 = 23.
  EXPECT_EQ(FillOne(0x00C80000, 0xFF0000FF, 0.3f, kBlendCopy), 0x178C004Cu);
}

TEST(FillRectangle, SourceAlphaScalesTheWeight) {
  // Alpha 128 of 255 with weight 1.0 gives w = 128: the half-word average.
  EXPECT_EQ(FillOne(0x00000000, 0x80FF00FE, 1.0f, kBlendCopy | kBlendSourceAlpha), 0x407F007Fu);
  EXPECT_EQ(FillOne(0x12345678, 0x00FFFFFF, 1.0f, kBlendCopy | kBlendSourceAlpha), 0x12345678u);
}

TEST(FillRectangle, AddAndDodgeWork) {
  EXPECT_EQ(FillOne(0x00F01000, 0x00202020, 1.0f, kBlendAdd), 0xFFFF3020u);
  // Dodge at w = 128: k = 128 * 128 / 256 = 64; 96 * 256 / 192 = 128.
  EXPECT_EQ(FillOne(0x00600000, 0x00800000, 0.5f, kBlendDodge) & 0x00FF0000, 0x00800000u);
  EXPECT_EQ(FillOne(0x00600000, 0x00800000, 0.5f, BlendMode{4}), 0x00600000u);
}

TEST(FillRectangle, TinyOrMissingWeightDrawsNothing) {
  for (BlendMode mode : {kBlendCopy, kBlendAdd, kBlendDodge, kBlendCopy | kBlendSourceAlpha})
    EXPECT_EQ(FillOne(0x11223344, 0xFFFFFFFF, 0.001f, mode), 0x11223344u);
}

TEST(FillRectangle, ClipsToTheBitmap) {
  auto d = Filled(4, 3, 0);
  FillRectangle(d.get(), -2, 1, 4, 10, 0xFFFFFFFF, 1.0f, kBlendCopy);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x)
      EXPECT_EQ(At(*d, x, y), y >= 1 && x < 2 ? 0xFFFFFFFFu : 0u);
}

TEST(FillRectangle, HugeAndEmptyRectanglesAreSafe) {
  auto d = Filled(4, 3, 0);
  FillRectangle(d.get(), INT_MAX, 0, INT_MAX, 1, 0xFFFFFFFF, 1.0f, kBlendCopy);
  FillRectangle(d.get(), 0, 0, 0, 5, 0xFFFFFFFF, 1.0f, kBlendCopy);
  FillRectangle(d.get(), 0, 0, 5, -5, 0xFFFFFFFF, 1.0f, kBlendCopy);
  FillRectangle(d.get(), INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0xFFFFFFFF, 1.0f, kBlendCopy);
  FillRectangle(nullptr, 0, 0, 5, 5, 0xFFFFFFFF, 1.0f, kBlendCopy);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x)
      ASSERT_EQ(At(*d, x, y), 0u);
  FillRectangle(d.get(), -10, -10, INT_MAX, INT_MAX, 0xFFFFFFFF, 0.9f, kBlendCopy);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x)
      ASSERT_NE(At(*d, x, y), 0u);
}

} // namespace
} // namespace quorvane
