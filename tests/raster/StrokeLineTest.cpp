#include "raster/StrokeLine.h"

#include "tests/raster/TestBitmaps.h"

#include <gtest/gtest.h>

#include <climits>

namespace quorvane {
namespace {

using test::At;
using test::Filled;

int CountSet(const RasterBitmap& b) {
  int n = 0;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      n += At(b, x, y) != 0;
  return n;
}

TEST(StrokeLine, HorizontalCopiesIncludeBothEndsAndClip) {
  auto d = Filled(10, 3, 0);
  StrokeLine(d.get(), 2, 1, 5, 1, 0xFF123456, 1.0f, kBlendCopy, false);
  for (int x = 0; x < 10; ++x)
    EXPECT_EQ(At(*d, x, 1), x >= 2 && x <= 5 ? 0xFF123456u : 0u);

  StrokeLine(d.get(), INT_MIN, 2, INT_MAX, 2, 0x80808080, 0.5f, kBlendCopy, false);
  for (int x = 0; x < 10; ++x)
    EXPECT_EQ(At(*d, x, 2), 0x40404040u);
  EXPECT_EQ(CountSet(*d), 14);
}

TEST(StrokeLine, DiagonalVisitsOnePixelPerStep) {
  auto d = Filled(5, 5, 0);
  StrokeLine(d.get(), 4, 4, 0, 0, 0xFFFFFFFF, 0.7f, kBlendAdd, false);
  for (int i = 0; i < 5; ++i)
    EXPECT_NE(At(*d, i, i), 0u);
  EXPECT_EQ(CountSet(*d), 5);
}

TEST(StrokeLine, AntialiasingSharesTheWeightBetweenTwoPixels) {
  auto d = Filled(5, 3, 0);
  // From (0, 0) to (4, 2): at x = 1 the exact line is at y = 0.5.
  StrokeLine(d.get(), 0, 0, 4, 2, 0xFF0000FF, 1.0f, kBlendAdd, true);
  EXPECT_EQ(At(*d, 0, 0) & 0xFF, 0xFFu);
  EXPECT_EQ(At(*d, 1, 0) & 0xFF, 0x7Fu);
  EXPECT_EQ(At(*d, 1, 1) & 0xFF, 0x7Fu);
  EXPECT_EQ(At(*d, 2, 1) & 0xFF, 0xFFu);
  EXPECT_EQ(At(*d, 4, 2) & 0xFF, 0xFFu);
  EXPECT_EQ(At(*d, 0, 2), 0u);
}

TEST(StrokeLine, LinesOutsideOrWithoutWeightDrawNothing) {
  auto d = Filled(4, 4, 0);
  StrokeLine(d.get(), -5, -1, 10, -1, 0xFFFFFFFF, 1.0f, kBlendCopy, false);
  StrokeLine(d.get(), 5, 0, 9, 9, 0xFFFFFFFF, 1.0f, kBlendCopy, true);
  StrokeLine(d.get(), 0, 0, 3, 3, 0xFFFFFFFF, 0.001f, kBlendCopy, false);
  StrokeLine(d.get(), 0, 0, 3, 3, 0x00FFFFFF, 1.0f, kBlendCopy | kBlendSourceAlpha, false);
  StrokeLine(nullptr, 0, 0, 3, 3, 0xFFFFFFFF, 1.0f, kBlendCopy, false);
  EXPECT_EQ(CountSet(*d), 0);
  // Extreme ends still clip to the visible part.
  StrokeLine(d.get(), INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0xFFFFFFFF, 1.0f, kBlendCopy, true);
  EXPECT_GE(CountSet(*d), 4);
}

} // namespace
} // namespace quorvane
