#include "raster/win32/DibBitmap.h"

#include "raster/FillRectangle.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <climits>

namespace quorvane {
namespace {

TEST(DibBitmap, IsATopDownDibInItsOwnContext) {
  DibBitmap bitmap(10, 6);
  ASSERT_NE(bitmap.DeviceContext(), nullptr);
  ASSERT_NE(bitmap.Pixels(), nullptr);
  EXPECT_EQ(bitmap.Width(), 10);
  EXPECT_EQ(bitmap.Height(), 6);
  EXPECT_EQ(bitmap.RowStride(), 12);
  EXPECT_FALSE(bitmap.IsBottomUp());
  EXPECT_EQ(bitmap.QueryExtension(0x59555678, 0), 0);

  // GDI and the raster code see the same pixels, row 0 at the top.
  FillRectangle(&bitmap, 0, 0, 10, 6, 0xFF000000, 1.0f, kBlendCopy);
  HDC dc = static_cast<HDC>(bitmap.DeviceContext());
  HBRUSH brush = CreateSolidBrush(RGB(0x11, 0x22, 0x33));
  RECT top = {2, 0, 5, 1};
  FillRect(dc, &top, brush);
  DeleteObject(brush);
  GdiFlush();
  EXPECT_EQ(bitmap.Pixels()[2] & 0xFFFFFF, 0x112233u);
  EXPECT_EQ(bitmap.Pixels()[12 + 2], 0xFF000000u);

  bitmap.Pixels()[5 * 12 + 9] = 0x00ABCDEF;
  EXPECT_EQ(GetPixel(dc, 9, 5), RGB(0xAB, 0xCD, 0xEF));
}

TEST(DibBitmap, ShrinkingKeepsTheAllocationGrowingReplacesIt) {
  DibBitmap bitmap(10, 6);
  std::uint32_t* pixels = bitmap.Pixels();
  EXPECT_FALSE(bitmap.Resize(10, 6));
  EXPECT_TRUE(bitmap.Resize(5, 3));
  EXPECT_EQ(bitmap.Pixels(), pixels);
  EXPECT_EQ(bitmap.Width(), 5);
  EXPECT_EQ(bitmap.RowStride(), 12);

  EXPECT_TRUE(bitmap.Resize(30, 7));
  ASSERT_NE(bitmap.Pixels(), nullptr);
  EXPECT_EQ(bitmap.RowStride(), 32);
  bitmap.Pixels()[6 * 32 + 29] = 1; // the last pixel is writable
}

TEST(DibBitmap, EmptyAndImpossibleSizesReleaseTheDib) {
  DibBitmap bitmap(8, 8);
  EXPECT_TRUE(bitmap.Resize(0, 0));
  EXPECT_EQ(bitmap.Pixels(), nullptr);
  EXPECT_EQ(bitmap.Width(), 0);
  EXPECT_EQ(bitmap.RowStride(), 0);
  EXPECT_NE(bitmap.DeviceContext(), nullptr);

  for (auto [w, h] : {std::pair{-5, 5}, {5, -5}, {INT_MAX, 1}, {1, INT_MAX}, {INT_MIN, INT_MIN}}) {
    DibBitmap other(4, 4);
    other.Resize(w, h);
    EXPECT_EQ(other.Pixels(), nullptr) << w << " x " << h;
    EXPECT_EQ(other.Width(), 0);
    EXPECT_EQ(other.Height(), 0);
  }

  DibBitmap never(0, 0);
  EXPECT_EQ(never.Pixels(), nullptr);
  EXPECT_TRUE(never.Resize(3, 3));
  EXPECT_NE(never.Pixels(), nullptr);
}

} // namespace
} // namespace quorvane
