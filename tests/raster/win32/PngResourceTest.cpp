#include "raster/win32/PngResource.h"

#include "raster/HeapBitmap.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

namespace quorvane {
namespace {

void* ThisModule() {
  return GetModuleHandleA(nullptr);
}

TEST(PngResource, DecodesAnImageFromTheModule) {
  std::unique_ptr<RasterBitmap> bitmap(DecodePngResource(ThisModule(), 100));
  ASSERT_NE(bitmap, nullptr);
  ASSERT_EQ(bitmap->Width(), 3);
  ASSERT_EQ(bitmap->Height(), 2);
  const std::uint32_t* row0 = bitmap->Pixels();
  const std::uint32_t* row1 = row0 + bitmap->RowStride();
  EXPECT_EQ(row0[0], 0xFFFF0000u);
  EXPECT_EQ(row0[1], 0x8000FF00u);
  EXPECT_EQ(row0[2], 0x000000FFu);
  EXPECT_EQ(row1[0], 0x280A141Eu);
  EXPECT_EQ(row1[2], 0x04010203u);

  HeapBitmap supplied(1, 1, 4);
  EXPECT_EQ(DecodePngResource(ThisModule(), 100 + 0x10000, &supplied), &supplied)
      << "only the low 16 bits name the resource";
  EXPECT_EQ(supplied.Width(), 3);
}

TEST(PngResource, MissingShortAndDamagedResourcesGiveNothing) {
  EXPECT_EQ(DecodePngResource(ThisModule(), 999), nullptr);
  EXPECT_EQ(DecodePngResource(ThisModule(), 101), nullptr);
  EXPECT_EQ(DecodePngResource(ThisModule(), 102), nullptr);
  EXPECT_EQ(DecodePngResource(ThisModule(), -1), nullptr);
}

} // namespace
} // namespace quorvane
