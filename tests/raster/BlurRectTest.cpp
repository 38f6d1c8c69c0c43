#include "raster/BlurRect.h"

#include "tests/raster/TestBitmaps.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace quorvane {
namespace {

using test::At;
using test::Filled;

TEST(BlurRect, SpreadsAnEighthToEachNeighbour) {
  auto b = Filled(5, 5, 0);
  At(*b, 2, 2) = 0xFFFFFFFF;
  BlurRect(b.get(), Rect{0, 0, 5, 5});
  EXPECT_EQ(At(*b, 2, 2), 0x7F7F7F7Fu);
  EXPECT_EQ(At(*b, 1, 2), 0x1F1F1F1Fu);
  EXPECT_EQ(At(*b, 3, 2), 0x1F1F1F1Fu);
  EXPECT_EQ(At(*b, 2, 1), 0x1F1F1F1Fu); // read before row 2 was blurred
  EXPECT_EQ(At(*b, 2, 3), 0x1F1F1F1Fu); // reads row 2 as it was
  EXPECT_EQ(At(*b, 1, 1), 0u);
}

TEST(BlurRect, EdgesGiveTheMissingShareToTheOppositeNeighbour) {
  auto b = Filled(4, 4, 0);
  At(*b, 2, 1) = 0xFF000000;
  // Rectangle columns 1..2, rows 1..2: (1, 1) has no left neighbour inside,
  // so its right neighbour counts a quarter; row 1 is the first row, so the
  // one below counts a quarter.
  BlurRect(b.get(), Rect{1, 1, 3, 3});
  EXPECT_EQ(At(*b, 1, 1), 0x3F000000u);
  EXPECT_EQ(At(*b, 2, 1), 0x7F000000u);
  EXPECT_EQ(At(*b, 2, 2), 0x3F000000u);
  EXPECT_EQ(At(*b, 3, 1), 0u); // outside the rectangle
}

TEST(BlurRect, UniformAreasStayNearlyUniform) {
  auto b = Filled(3, 3, 0xC8C8C8C8);
  BlurRect(b.get(), Rect{0, 0, 3, 3});
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x)
      EXPECT_NEAR(double(At(*b, x, y) & 0xFF), 200.0, 4.0);
}

TEST(BlurRect, SmallOrOutsideRegionsAreLeftAlone) {
  auto b = Filled(4, 4, 0);
  At(*b, 1, 1) = 0xFFFFFFFF;
  BlurRect(b.get(), Rect{0, 0, 1, 4});
  BlurRect(b.get(), Rect{0, 1, 4, 2});
  BlurRect(b.get(), Rect{10, 10, 20, 20});
  BlurRect(b.get(), Rect{INT_MIN, INT_MIN, INT_MIN + 1, INT_MAX});
  BlurRect(nullptr, Rect{0, 0, 4, 4});
  EXPECT_EQ(At(*b, 1, 1), 0xFFFFFFFFu);
  EXPECT_EQ(At(*b, 0, 1), 0u);
  // A huge rectangle is limited to the bitmap.
  BlurRect(b.get(), Rect{INT_MIN, INT_MIN, INT_MAX, INT_MAX});
  EXPECT_EQ(At(*b, 1, 1), 0x7F7F7F7Fu);
}

TEST(BlurRect, RowsWiderThanTheStackScratchWork) {
  auto b = Filled(1500, 2, 0);
  At(*b, 1400, 0) = 0xFFFFFFFF;
  BlurRect(b.get(), Rect{0, 0, 1500, 2});
  EXPECT_EQ(At(*b, 1400, 0), 0x7F7F7F7Fu);
  EXPECT_EQ(At(*b, 1400, 1), 0x3F3F3F3Fu);
  EXPECT_EQ(At(*b, 1401, 0), 0x1F1F1F1Fu);
}

} // namespace
} // namespace quorvane
