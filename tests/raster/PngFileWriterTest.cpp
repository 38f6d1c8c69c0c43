#include "raster/PngFileWriter.h"
#include "raster/PngDecoder.h"
#include "raster/RasterBitmap.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

using namespace quorvane;

namespace {

TEST(PngFileWriter, RefusesWhatItCannotWrite) {
  const std::uint32_t pixels[4] = {0xFF102030u, 0xFF405060u, 0xFF708090u, 0xFFA0B0C0u};
  EXPECT_FALSE(WritePngFile(nullptr, pixels, 2, 2, 2));
  EXPECT_FALSE(WritePngFile("unused.png", nullptr, 2, 2, 2));
  EXPECT_FALSE(WritePngFile("unused.png", pixels, 0, 2, 2));
  EXPECT_FALSE(WritePngFile("unused.png", pixels, 2, -1, 2));
  EXPECT_FALSE(WritePngFile("unused.png", pixels, 2, 2, 1));
  EXPECT_FALSE(WritePngFile("unused.png", pixels, 1 << 20, 1, 1 << 20));
  EXPECT_FALSE(WritePngFile("no-such-folder/x.png", pixels, 2, 2, 2));
}

TEST(PngFileWriter, WritesOpaqueRgbThatDecodesBackWithItsStride) {
  // Three words a row, two of them drawn: the stride must be honoured and
  // the alpha dropped (the decoder gives opaque pixels back).
  const std::uint32_t pixels[6] = {0x00102030u, 0x80405060u, 0xDEADBEEFu,
                                   0xFF708090u, 0x12A0B0C0u, 0xDEADBEEFu};
  const char* path = "png-file-writer-test.png";
  ASSERT_TRUE(WritePngFile(path, pixels, 2, 2, 3));
  std::unique_ptr<RasterBitmap> back(DecodePngFile(path));
  std::remove(path);
  ASSERT_NE(back, nullptr);
  ASSERT_EQ(back->Width(), 2);
  ASSERT_EQ(back->Height(), 2);
  EXPECT_EQ(back->Pixels()[0], 0xFF102030u);
  EXPECT_EQ(back->Pixels()[1], 0xFF405060u);
  EXPECT_EQ(back->Pixels()[back->RowStride()], 0xFF708090u);
  EXPECT_EQ(back->Pixels()[back->RowStride() + 1], 0xFFA0B0C0u);
}

} // namespace
