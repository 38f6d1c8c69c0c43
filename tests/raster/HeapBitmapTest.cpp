#include "raster/HeapBitmap.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

namespace quorvane {
namespace {

bool Aligned64(const void* p) {
  return reinterpret_cast<std::uintptr_t>(p) % 64 == 0;
}

TEST(HeapBitmap, RowsFollowTheAlignmentAndPixelsAre64ByteAligned) {
  HeapBitmap bitmap(5, 3, 4);
  EXPECT_EQ(bitmap.Width(), 5);
  EXPECT_EQ(bitmap.Height(), 3);
  EXPECT_EQ(bitmap.RowStride(), 8);
  ASSERT_NE(bitmap.Pixels(), nullptr);
  EXPECT_TRUE(Aligned64(bitmap.Pixels()));
  // The whole last row is writable.
  for (int x = 0; x < bitmap.RowStride(); ++x)
    bitmap.Pixels()[2 * bitmap.RowStride() + x] = 1;
}

TEST(HeapBitmap, OnlyTheLowestAlignmentBitCountsUpTo16) {
  EXPECT_EQ(HeapBitmap(5, 1, 0).RowStride(), 5);
  EXPECT_EQ(HeapBitmap(5, 1, 1).RowStride(), 5);
  EXPECT_EQ(HeapBitmap(5, 1, 6).RowStride(), 6); // lowest bit 2
  EXPECT_EQ(HeapBitmap(5, 1, 16).RowStride(), 16);
  EXPECT_EQ(HeapBitmap(17, 1, 64).RowStride(), 32); // limited to 16
  EXPECT_EQ(HeapBitmap(5, 1, -4).RowStride(), 5);
}

TEST(HeapBitmap, ResizeReportsChangesAndGrowsByAQuarter) {
  HeapBitmap bitmap(4, 4, 4);
  EXPECT_EQ(bitmap.Capacity(), 4u * 4 * 4);
  EXPECT_FALSE(bitmap.Resize(4, 4));

  EXPECT_TRUE(bitmap.Resize(8, 8));
  EXPECT_EQ(bitmap.Capacity(), 8u * 8 * 4 / 4 * 5);
  EXPECT_TRUE(Aligned64(bitmap.Pixels()));

  // Shrinking keeps the buffer.
  EXPECT_TRUE(bitmap.Resize(2, 2));
  EXPECT_EQ(bitmap.Capacity(), 8u * 8 * 4 / 4 * 5);
  EXPECT_EQ(bitmap.Width(), 2);
}

TEST(HeapBitmap, EmptyAndInvalidSizesReleaseThePixels) {
  HeapBitmap empty(0, 0, 4);
  EXPECT_EQ(empty.Pixels(), nullptr);
  EXPECT_EQ(empty.RowStride(), 0);

  for (auto [w, h] : {std::pair{0, 5},
                      {5, -1},
                      {-3, -3},
                      {INT_MAX, 1},
                      {1, INT_MAX},
                      {HeapBitmap::kMaxDimension + 1, 1},
                      {40000, 40000},
                      {INT_MIN, INT_MIN}}) {
    HeapBitmap bitmap(3, 3, 4);
    EXPECT_TRUE(bitmap.Resize(w, h));
    EXPECT_EQ(bitmap.Pixels(), nullptr) << w << " x " << h;
    EXPECT_EQ(bitmap.Width(), 0);
    EXPECT_EQ(bitmap.Height(), 0);
    EXPECT_EQ(bitmap.Capacity(), 0u);
  }
}

} // namespace
} // namespace quorvane
