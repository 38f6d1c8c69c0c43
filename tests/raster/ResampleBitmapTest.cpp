// Resampling a whole bitmap: shrinking averages areas (no frame of a strip
// bleeds into its neighbour, transparent pixels leave no dark fringe),
// growing interpolates instead of repeating pixels, and nonsense sizes are
// refused.

#include "raster/ResampleBitmap.h"

#include "tests/raster/TestBitmaps.h"

#include <gtest/gtest.h>

namespace quorvane::test {
namespace {

constexpr std::uint32_t kRed = 0xFFFF0000u;
constexpr std::uint32_t kBlue = 0xFF0000FFu;

TEST(ResampleBitmap, ShrinkingAveragesEachDestinationPixelsArea) {
  // Two frames of 8 columns (a 2x strip) down to 1.25x: 5 columns each.
  auto strip = Filled(16, 4, kRed);
  for (int y = 0; y < 4; ++y)
    for (int x = 8; x < 16; ++x)
      At(*strip, x, y) = kBlue;
  auto out = ResampleBitmap(*strip, 10, 3);
  ASSERT_TRUE(out);
  for (int x = 0; x < 10; ++x)
    EXPECT_EQ(At(*out, x, 1), x < 5 ? kRed : kBlue) << x;

  // Black and white columns in turn halve to mid grey.
  auto stripes = Filled(4, 2, 0xFF000000u);
  At(*stripes, 1, 0) = At(*stripes, 1, 1) = At(*stripes, 3, 0) = At(*stripes, 3, 1) = 0xFFFFFFFFu;
  auto half = ResampleBitmap(*stripes, 2, 1);
  EXPECT_EQ(At(*half, 0, 0), 0xFF808080u);
  EXPECT_EQ(At(*half, 1, 0), 0xFF808080u);
}

TEST(ResampleBitmap, TransparentPixelsDoNotDarkenTheColour) {
  auto edge = Filled(2, 1, 0x00000000u);
  At(*edge, 1, 0) = kRed;
  auto out = ResampleBitmap(*edge, 1, 1);
  EXPECT_EQ(At(*out, 0, 0), 0x80FF0000u);
}

TEST(ResampleBitmap, GrowingInterpolatesBetweenPixels) {
  auto pair = Filled(2, 1, 0xFF000000u);
  At(*pair, 1, 0) = 0xFFFFFFFFu;
  auto out = ResampleBitmap(*pair, 4, 1);
  ASSERT_TRUE(out);
  EXPECT_EQ(At(*out, 0, 0), 0xFF000000u);
  EXPECT_EQ(At(*out, 1, 0), 0xFF404040u);
  EXPECT_EQ(At(*out, 2, 0), 0xFFBFBFBFu);
  EXPECT_EQ(At(*out, 3, 0), 0xFFFFFFFFu);
}

TEST(ResampleBitmap, RefusesEmptyAndHugeSizes) {
  auto source = Filled(2, 2, kRed);
  HeapBitmap empty(0, 0, 4);
  EXPECT_FALSE(ResampleBitmap(*source, 0, 2));
  EXPECT_FALSE(ResampleBitmap(*source, 2, -1));
  EXPECT_FALSE(ResampleBitmap(*source, HeapBitmap::kMaxDimension + 1, 1));
  EXPECT_FALSE(ResampleBitmap(empty, 2, 2));
}

} // namespace
} // namespace quorvane::test
