#include "raster/BlitRotated.h"

#include "tests/raster/TestBitmaps.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

namespace quorvane {
namespace {

using test::At;
using test::Filled;

constexpr float kQuarterTurn = 1.57079632679f;
constexpr float kHalfTurn = 3.14159265359f;

// Draws the whole source unscaled at (x, y) of a fresh destination.
std::unique_ptr<HeapBitmap> Turn(const RasterBitmap& source, float angle, BlendMode mode,
                                 int destWidth, int destHeight, int x = 0, int y = 0) {
  auto dest = Filled(destWidth, destHeight, 0);
  const int w = source.Width(), h = source.Height();
  BlitRotated(dest.get(), &source, x, y, w, h, 0, 0, float(w), float(h), angle, false, 1.0f, mode,
              0, 0);
  return dest;
}

TEST(BlitRotated, NoTurnReproducesTheSourceWithEitherSampling) {
  auto source = Filled(7, 5, 0);
  test::Number(*source);
  for (BlendMode mode : {kBlendCopy, kBlendBilinear, BlendMode{0x200}}) {
    auto dest = Turn(*source, 0.0f, mode, 9, 7, 1, 2);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 7; ++x)
        ASSERT_EQ(At(*dest, x + 1, y + 2), At(*source, x, y)) << mode;
    EXPECT_EQ(At(*dest, 0, 0), 0u);
    EXPECT_EQ(At(*dest, 8, 6), 0u);
  }
}

TEST(BlitRotated, QuarterTurnIsClockwiseOnScreen) {
  auto source = Filled(4, 4, 0);
  test::Number(*source);
  auto dest = Turn(*source, kQuarterTurn, kBlendCopy, 4, 4);
  // The top row of the source becomes the right-hand column, top to bottom.
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(At(*dest, 3, i), At(*source, i, 0)) << i;
  EXPECT_EQ(At(*dest, 0, 0), At(*source, 0, 3));

  auto half = Turn(*source, kHalfTurn, kBlendCopy, 4, 4);
  EXPECT_EQ(At(*half, 3, 3), At(*source, 0, 0));
  EXPECT_EQ(At(*half, 0, 2), At(*source, 3, 1));
}

TEST(BlitRotated, NegativeSizeMirrors) {
  auto source = Filled(4, 2, 0);
  test::Number(*source);
  auto dest = Filled(4, 2, 0);
  // x is the far edge: the destination runs from 4 - 4 to 4.
  BlitRotated(dest.get(), source.get(), 4, 0, -4, 2, 0, 0, 4, 2, 0, false, 1.0f, kBlendCopy, 0, 0);
  for (int x = 0; x < 4; ++x)
    EXPECT_EQ(At(*dest, x, 1), At(*source, 3 - x, 1)) << x;
}

TEST(BlitRotated, ScalesTheSourceRectangle) {
  auto source = Filled(2, 2, 0);
  test::Number(*source);
  auto dest = Filled(4, 4, 0);
  BlitRotated(dest.get(), source.get(), 0, 0, 4, 4, 0, 0, 2, 2, 0, false, 1.0f, kBlendCopy, 0, 0);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x)
      EXPECT_EQ(At(*dest, x, y), At(*source, x / 2, y / 2));
}

TEST(BlitRotated, BilinearBlendsNeighboursAndHoldsTheLastColumn) {
  auto source = Filled(3, 1, 0);
  At(*source, 0, 0) = 0xFF000000;
  At(*source, 1, 0) = 0xFF0000C8;
  At(*source, 2, 0) = 0xFF000064;
  auto dest = Filled(3, 1, 0);
  // Half a pixel to the right: each sample sits between two source pixels.
  BlitRotated(dest.get(), source.get(), 0, 0, 3, 1, 0, 0, 3, 1, 0, false, 1.0f, kBlendBilinear,
              0.5f, 0);
  EXPECT_EQ(At(*dest, 0, 0), 0xFF000064u);
  EXPECT_EQ(At(*dest, 1, 0), 0xFF000096u);
  EXPECT_EQ(At(*dest, 2, 0), 0xFF000064u); // last column: only the vertical pair, i.e. itself
}

TEST(BlitRotated, ClipToSourceSamplesOnlyTheRectangle) {
  auto source = Filled(4, 4, 0xFFFFFFFF);
  At(*source, 1, 1) = 0xFF112233;
  auto dest = Filled(4, 4, 0);
  // A 1 x 1 source rectangle drawn 3 x 3 with offsets reaching outside it:
  // only the samples that fall on (1, 1) are drawn.
  BlitRotated(dest.get(), source.get(), 0, 0, 3, 3, 1, 1, 1, 1, 0, true, 1.0f, kBlendCopy, 0.5f, 0);
  int drawn = 0;
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x)
      if (At(*dest, x, y) != 0) {
        EXPECT_EQ(At(*dest, x, y), 0xFF112233u);
        ++drawn;
      }
  EXPECT_GT(drawn, 0);
  EXPECT_LT(drawn, 9);
}

TEST(BlitRotated, SourceAlphaKeepsTransparentPixelsOut) {
  auto source = Filled(2, 1, 0x00FFFFFF);
  At(*source, 1, 0) = 0xFF102030;
  auto dest = Turn(*source, 0, kBlendCopy | kBlendSourceAlpha | kBlendBilinear, 2, 1);
  EXPECT_EQ(At(*dest, 0, 0), 0u);
  EXPECT_EQ(At(*dest, 1, 0), 0xFF102030u);
}

TEST(BlitRotated, DegenerateAndHostileArgumentsDrawNothing) {
  auto source = Filled(4, 4, 0xFFFFFFFF);
  auto dest = Filled(4, 4, 0);
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  auto blit = [&](int x, int y, int w, int h, float sx, float sw, float angle, bool clip,
                  float weight) {
    BlitRotated(dest.get(), source.get(), x, y, w, h, sx, 0, sw, 4, angle, clip, weight, kBlendCopy,
                0, 0);
  };
  blit(0, 0, 0, 4, 0, 4, 0, false, 1.0f);
  blit(0, 0, 4, 4, 0, 4, 0, false, 0.001f);
  blit(0, 0, 4, 4, nan, 4, 0, false, 1.0f);
  blit(0, 0, 4, 4, 0, 4, inf, false, 1.0f);
  blit(0, 0, 4, 4, 3.5f, 0.2f, 0, true, 1.0f); // less than a pixel of source
  blit(0, 0, 4, 4, 1e30f, 1e30f, 0, true, 1.0f);
  blit(INT_MAX, INT_MAX, INT_MAX, INT_MAX, 0, 4, 0, false, 1.0f);
  blit(INT_MIN, 0, INT_MIN, 4, 0, 4, 0, false, 1.0f);
  blit(0, 0, 4, 4, -1e30f, 4, 0, false, 1.0f); // samples far outside the source
  BlitRotated(nullptr, source.get(), 0, 0, 4, 4, 0, 0, 4, 4, 0, false, 1, kBlendCopy, 0, 0);
  BlitRotated(dest.get(), nullptr, 0, 0, 4, 4, 0, 0, 4, 4, 0, false, 1, kBlendCopy, 0, 0);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x)
      ASSERT_EQ(At(*dest, x, y), 0u);

  // Huge but finite values that still overlap draw without overflowing.
  blit(INT_MIN / 2, -2, INT_MAX, 8, -1e6f, 4e9f, 1e20f, false, 1.0f);
}

} // namespace
} // namespace quorvane
