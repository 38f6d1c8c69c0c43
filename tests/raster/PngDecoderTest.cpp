#include "raster/PngDecoder.h"

#include "raster/HeapBitmap.h"
#include "tests/raster/PngWriter.h"
#include "tests/raster/TestBitmaps.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#if !defined(_WIN32)
#include <sys/resource.h>
#endif

// Counts decoder creations: the test links with
// -Wl,--wrap=png_create_read_struct.
extern "C" {
png_structp __real_png_create_read_struct(png_const_charp, png_voidp, png_error_ptr, png_error_ptr);
static int decodersCreated = 0;
png_structp __wrap_png_create_read_struct(png_const_charp version, png_voidp errorData,
                                          png_error_ptr onError, png_error_ptr onWarning) {
  ++decodersCreated;
  return __real_png_create_read_struct(version, errorData, onError, onWarning);
}
}

namespace quorvane {
namespace {

using test::At;
using test::PngImage;
using Bytes = std::vector<std::uint8_t>;

std::unique_ptr<RasterBitmap> Decode(const Bytes& png) {
  return std::unique_ptr<RasterBitmap>(DecodePngMemory(png.data(), png.size()));
}

std::vector<std::uint32_t> Words(const RasterBitmap& b) {
  std::vector<std::uint32_t> out;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      out.push_back(At(b, x, y));
  return out;
}

PngImage Image(int width, int height, int colorType, int bitDepth, Bytes rows) {
  PngImage image;
  image.width = width;
  image.height = height;
  image.colorType = colorType;
  image.bitDepth = bitDepth;
  image.rows = std::move(rows);
  return image;
}

// A noisy RGBA image, big enough that its data spans several reads.
PngImage Noise(int width, int height) {
  Bytes rows(std::size_t(width) * height * 4);
  std::uint32_t state = 12345;
  for (auto& b : rows) {
    state = state * 1103515245u + 12345u;
    b = std::uint8_t(state >> 24);
  }
  return Image(width, height, PNG_COLOR_TYPE_RGB_ALPHA, 8, rows);
}

struct ColourCase {
  const char* name;
  PngImage image;
  std::vector<std::uint32_t> expected;
};

std::vector<ColourCase> ColourCases() {
  std::vector<ColourCase> cases;
  cases.push_back({"rgb8",
                   Image(2, 1, PNG_COLOR_TYPE_RGB, 8, {10, 20, 30, 200, 100, 50}),
                   {0xFF0A141E, 0xFFC86432}});
  cases.push_back({"rgba8 keeps straight alpha",
                   Image(2, 1, PNG_COLOR_TYPE_RGB_ALPHA, 8, {10, 20, 30, 40, 255, 0, 0, 0}),
                   {0x280A141E, 0x00FF0000}});
  cases.push_back({"grey8",
                   Image(3, 1, PNG_COLOR_TYPE_GRAY, 8, {0, 128, 255}),
                   {0xFF000000, 0xFF808080, 0xFFFFFFFF}});
  cases.push_back({"grey1",
                   Image(8, 1, PNG_COLOR_TYPE_GRAY, 1, {0xB0}),
                   {0xFFFFFFFF, 0xFF000000, 0xFFFFFFFF, 0xFFFFFFFF, 0xFF000000, 0xFF000000,
                    0xFF000000, 0xFF000000}});
  cases.push_back({"grey2",
                   Image(4, 1, PNG_COLOR_TYPE_GRAY, 2, {0x1B}),
                   {0xFF000000, 0xFF555555, 0xFFAAAAAA, 0xFFFFFFFF}});
  cases.push_back({"grey4", Image(2, 1, PNG_COLOR_TYPE_GRAY, 4, {0x3F}), {0xFF333333, 0xFFFFFFFF}});
  cases.push_back({"grey16", Image(1, 1, PNG_COLOR_TYPE_GRAY, 16, {0xAB, 0xCD}), {0xFFABABAB}});
  cases.push_back(
      {"grey+alpha8", Image(1, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {100, 50}), {0x32646464}});
  cases.push_back({"grey+alpha16",
                   Image(1, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 16, {0x12, 0x34, 0xFE, 0xDC}),
                   {0xFE121212}});
  cases.push_back({"rgb16",
                   Image(1, 1, PNG_COLOR_TYPE_RGB, 16, {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC}),
                   {0xFF12569A}});
  cases.push_back(
      {"rgba16",
       Image(1, 1, PNG_COLOR_TYPE_RGB_ALPHA, 16, {0xFF, 0xFF, 0x00, 0x00, 0x80, 0x80, 0x7F, 0x00}),
       {0x7FFF0080}});

  ColourCase greyKey{
      "grey8 with tRNS", Image(2, 1, PNG_COLOR_TYPE_GRAY, 8, {0, 128}), {0xFF000000, 0x00808080}};
  greyKey.image.transparentColour = true;
  greyKey.image.transparent.gray = 128;
  cases.push_back(greyKey);

  ColourCase grey2Key{"grey2 with tRNS",
                      Image(4, 1, PNG_COLOR_TYPE_GRAY, 2, {0x1B}),
                      {0xFF000000, 0x00555555, 0xFFAAAAAA, 0xFFFFFFFF}};
  grey2Key.image.transparentColour = true;
  grey2Key.image.transparent.gray = 1;
  cases.push_back(grey2Key);

  ColourCase rgbKey{"rgb8 with tRNS",
                    Image(2, 1, PNG_COLOR_TYPE_RGB, 8, {10, 20, 30, 10, 20, 31}),
                    {0x000A141E, 0xFF0A141F}};
  rgbKey.image.transparentColour = true;
  rgbKey.image.transparent.red = 10;
  rgbKey.image.transparent.green = 20;
  rgbKey.image.transparent.blue = 30;
  cases.push_back(rgbKey);

  const std::vector<png_color> rgbPalette = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
  ColourCase palette8{"palette8",
                      Image(3, 1, PNG_COLOR_TYPE_PALETTE, 8, {2, 0, 1}),
                      {0xFF0000FF, 0xFFFF0000, 0xFF00FF00}};
  palette8.image.palette = rgbPalette;
  cases.push_back(palette8);

  ColourCase palette4{"palette4 with tRNS",
                      Image(4, 1, PNG_COLOR_TYPE_PALETTE, 4, {0x01, 0x21}),
                      {0x80FF0000, 0x0000FF00, 0xFF0000FF, 0x0000FF00}};
  palette4.image.palette = rgbPalette;
  palette4.image.paletteAlpha = {0x80, 0x00};
  cases.push_back(palette4);

  ColourCase palette1{"palette1",
                      Image(3, 1, PNG_COLOR_TYPE_PALETTE, 1, {0xA0}),
                      {0xFF00FF00, 0xFFFF0000, 0xFF00FF00}};
  palette1.image.palette = {{255, 0, 0}, {0, 255, 0}};
  cases.push_back(palette1);
  return cases;
}

TEST(PngDecoder, EveryColourTypeAndDepthBecomesStraightArgbWords) {
  for (const ColourCase& c : ColourCases()) {
    SCOPED_TRACE(c.name);
    auto bitmap = Decode(test::WritePng(c.image));
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->Width(), c.image.width);
    EXPECT_EQ(bitmap->Height(), c.image.height);
    EXPECT_EQ(Words(*bitmap), c.expected);
  }
}

TEST(PngDecoder, InterlacedImagesDecodeLikePlainOnes) {
  PngImage plain = Noise(13, 11);
  PngImage interlaced = plain;
  interlaced.interlaced = true;
  auto a = Decode(test::WritePng(plain));
  auto b = Decode(test::WritePng(interlaced));
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(Words(*a), Words(*b));
}

TEST(PngDecoder, LoaderBitmapsHaveTheEditorRowAlignment) {
  auto bitmap = Decode(test::WritePng(Noise(5, 2)));
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(bitmap->RowStride(), 8);
}

TEST(PngDecoder, FillsASuppliedBitmapAndHonoursBottomUpRows) {
  const Bytes png = test::WritePng(Noise(6, 4));
  auto reference = Decode(png);
  ASSERT_NE(reference, nullptr);

  HeapBitmap heap(1, 1, 1);
  EXPECT_EQ(DecodePngMemory(png.data(), png.size(), &heap), &heap);
  EXPECT_EQ(Words(heap), Words(*reference));

  test::BottomUpBitmap flipped(1, 1);
  EXPECT_EQ(DecodePngMemory(png.data(), png.size(), &flipped), &flipped);
  EXPECT_EQ(Words(flipped), Words(*reference));
}

// Records the sizes it is asked for and refuses to change.
class RefusingBitmap final : public RasterBitmap {
public:
  std::uint32_t* Pixels() const override { return pixel_; }
  int Width() const override { return 1; }
  int Height() const override { return 1; }
  int RowStride() const override { return 1; }
  bool Resize(int width, int height) override {
    askedWidth = width;
    askedHeight = height;
    return false;
  }
  int askedWidth = 0;
  int askedHeight = 0;

private:
  mutable std::uint32_t pixel_[1] = {0x12345678};
};

TEST(PngDecoder, ABitmapThatCannotTakeTheSizeIsRefusedButKept) {
  const Bytes png = test::WritePng(Noise(3, 3));
  RefusingBitmap bitmap;
  EXPECT_EQ(DecodePngMemory(png.data(), png.size(), &bitmap), nullptr);
  EXPECT_EQ(bitmap.askedWidth, 3);
  EXPECT_EQ(bitmap.Pixels()[0], 0x12345678u);
}

TEST(PngDecoder, ShortOrForeignDataIsRefusedBeforeADecoderExists) {
  const Bytes png = test::WritePng(Noise(2, 2));
  decodersCreated = 0;
  EXPECT_EQ(DecodePngMemory(png.data(), 7), nullptr);
  EXPECT_EQ(DecodePngMemory(png.data(), 0), nullptr);
  EXPECT_EQ(DecodePngMemory(nullptr, 100), nullptr);
  Bytes foreign = png;
  foreign[1] = 'J';
  EXPECT_EQ(DecodePngMemory(foreign.data(), foreign.size()), nullptr);
  const char gif[] = "GIF89a\x01\x00\x01\x00";
  EXPECT_EQ(DecodePngMemory(gif, sizeof gif), nullptr);
  EXPECT_EQ(decodersCreated, 0);

  auto bitmap = Decode(png);
  EXPECT_NE(bitmap, nullptr);
  EXPECT_EQ(decodersCreated, 1);
}

TEST(PngDecoder, EveryTruncationBeforeTheEndChunkIsRefused) {
  const Bytes png = test::WritePng(Noise(16, 16));
  const std::size_t end = test::FindChunk(png, "IEND");
  HeapBitmap supplied(1, 1, 4);
  for (std::size_t size = 0; size < end; ++size) {
    ASSERT_EQ(DecodePngMemory(png.data(), size), nullptr) << size;
    ASSERT_EQ(DecodePngMemory(png.data(), size, &supplied), nullptr) << size;
  }
  EXPECT_NE(Decode(png), nullptr);
}

TEST(PngDecoder, DamagedChecksumsAndStreamsAreRefused) {
  const Bytes png = test::WritePng(Noise(8, 8));
  const std::size_t header = test::FindChunk(png, "IHDR");
  const std::size_t data = test::FindChunk(png, "IDAT");

  Bytes badHeaderCrc = png;
  badHeaderCrc[header + 8 + 13] ^= 0x01;
  EXPECT_EQ(Decode(badHeaderCrc), nullptr);

  Bytes badDataCrc = png;
  badDataCrc[data + 8 + 5] ^= 0x40;
  EXPECT_EQ(Decode(badDataCrc), nullptr);

  // A wrong zlib header with a correct chunk checksum: inflate itself fails.
  Bytes badStream = png;
  badStream[data + 8] ^= 0xFF;
  test::FixChunkCrc(badStream, data);
  EXPECT_EQ(Decode(badStream), nullptr);

  // Damage anywhere in the compressed data, checksum repaired: whatever
  // libpng makes of it, decoding must neither crash nor overrun.
  const std::uint32_t dataLength = std::uint32_t(png[data]) << 24 |
                                   std::uint32_t(png[data + 1]) << 16 |
                                   std::uint32_t(png[data + 2]) << 8 | png[data + 3];
  for (std::uint32_t i = 2; i < dataLength; i += 7) {
    Bytes damaged = png;
    damaged[data + 8 + i] ^= 0x5A;
    test::FixChunkCrc(damaged, data);
    auto bitmap = Decode(damaged);
    if (bitmap) {
      EXPECT_EQ(bitmap->Width(), 8);
    }
  }
}

TEST(PngDecoder, AbsurdDimensionsAreRefusedWithoutAskingForTheMemory) {
  Bytes png = test::WritePng(Noise(1, 1));
  const std::size_t header = test::FindChunk(png, "IHDR");
  test::PutBigEndian32(png, header + 8, 100000);
  test::PutBigEndian32(png, header + 12, 100000);
  test::FixChunkCrc(png, header);
  RefusingBitmap bitmap;
  EXPECT_EQ(DecodePngMemory(png.data(), png.size(), &bitmap), nullptr);
  EXPECT_EQ(bitmap.askedWidth, 0) << "the bitmap was asked to grow";
  EXPECT_EQ(Decode(png), nullptr);

  Bytes zeroWidth = test::WritePng(Noise(1, 1));
  test::PutBigEndian32(zeroWidth, header + 8, 0);
  test::FixChunkCrc(zeroWidth, header);
  EXPECT_EQ(Decode(zeroWidth), nullptr);
}

// This process's peak resident memory in bytes where the platform tells it, else 0.
long PeakResidentBytes() {
#if defined(_WIN32)
  return 0;
#else
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss * 1024L;
#endif
}

TEST(PngDecoder, AHugeChunkLengthIsRefusedWithoutAskingForTheMemory) {
  // A text chunk claiming 1.8 GB in an image of a hundred bytes: libpng would
  // allocate the stated length before finding the data missing.
  Bytes png = test::WritePng(Noise(1, 1));
  const Bytes chunk = {0x70, 0x00, 0x00, 0x00, 'i', 'T', 'X', 't', 'a', 'b', 'c'};
  png.insert(png.begin() + std::ptrdiff_t(test::FindChunk(png, "IDAT")), chunk.begin(),
             chunk.end());
  const long before = PeakResidentBytes();
  EXPECT_EQ(Decode(png), nullptr);
  // CTest runs each case alone, so the peak before is this case's own.
  EXPECT_LT(PeakResidentBytes() - before, 256L << 20);
}

TEST(PngDecoder, HugeButValidImagesAreRefusedByTheBitmapLimit) {
  // 20000 x 20000 one-bit pixels compress to little, but would need 1.6 GB
  // as 32-bit pixels.
  const Bytes png = test::WriteBlankPng(20000, 20000, PNG_COLOR_TYPE_GRAY, 1);
  EXPECT_EQ(Decode(png), nullptr);
}

class PngFiles : public ::testing::Test {
protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("quorvane-png-" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  // Writes the bytes under a UTF-8 name and answers the UTF-8 path.
  std::string Write(const std::string& name, const Bytes& bytes) {
    const auto path = dir_ / std::filesystem::u8path(name);
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path.u8string();
  }
  std::string PathOf(const std::string& name) const {
    return (dir_ / std::filesystem::u8path(name)).u8string();
  }

  std::filesystem::path dir_;
};

TEST_F(PngFiles, FilesDecodeLikeMemory) {
  const Bytes png = test::WritePng(Noise(7, 3));
  auto reference = Decode(png);
  std::unique_ptr<RasterBitmap> fromFile(DecodePngFile(Write("image.png", png).c_str()));
  ASSERT_NE(fromFile, nullptr);
  EXPECT_EQ(Words(*fromFile), Words(*reference));

  std::unique_ptr<RasterBitmap> utf8(
      DecodePngFile(Write("bild-\xC3\xA4\xE2\x82\xAC.png", png).c_str()));
  ASSERT_NE(utf8, nullptr);
  EXPECT_EQ(Words(*utf8), Words(*reference));

  test::BottomUpBitmap flipped(1, 1);
  EXPECT_EQ(DecodePngFile(PathOf("image.png").c_str(), &flipped), &flipped);
  EXPECT_EQ(Words(flipped), Words(*reference));
}

TEST_F(PngFiles, MissingTruncatedAndForeignFilesAreRefused) {
  const Bytes png = test::WritePng(Noise(7, 3));
  EXPECT_EQ(DecodePngFile(PathOf("missing.png").c_str()), nullptr);
  EXPECT_EQ(DecodePngFile(nullptr), nullptr);
  EXPECT_EQ(DecodePngFile(Write("cut.png", Bytes(png.begin(), png.begin() + 60)).c_str()), nullptr);
  EXPECT_EQ(DecodePngFile(Write("empty.png", {}).c_str()), nullptr);
  EXPECT_EQ(DecodePngFile(Write("text.png", Bytes(40, 'x')).c_str()), nullptr);

  Bytes huge = png;
  const std::size_t header = test::FindChunk(huge, "IHDR");
  test::PutBigEndian32(huge, header + 8, 100000);
  test::PutBigEndian32(huge, header + 12, 100000);
  test::FixChunkCrc(huge, header);
  RefusingBitmap bitmap;
  EXPECT_EQ(DecodePngFile(Write("huge.png", huge).c_str(), &bitmap), nullptr);
  EXPECT_EQ(bitmap.askedWidth, 0);
}

TEST_F(PngFiles, ExtensionCheckAcceptsOnlyALastPngExtension) {
  const Bytes png = test::WritePng(Noise(2, 2));
  const std::string upper = Write("KNOB.PNG", png);
  const std::string backup = Write("knob.PNG.bak", png);
  Write("mixed.pNg", png);

  std::unique_ptr<RasterBitmap> accepted(DecodeImageByExtension(upper.c_str(), true));
  EXPECT_NE(accepted, nullptr);
  std::unique_ptr<RasterBitmap> mixed(DecodeImageByExtension(PathOf("mixed.pNg").c_str(), true));
  EXPECT_NE(mixed, nullptr);
  EXPECT_EQ(DecodeImageByExtension(backup.c_str(), true), nullptr);
  std::unique_ptr<RasterBitmap> unchecked(DecodeImageByExtension(backup.c_str(), false));
  EXPECT_NE(unchecked, nullptr);

  for (const char* refused : {"png", "dir.png/file", "dir.png\\file", "image.pn", "image.pngx", ""})
    EXPECT_EQ(DecodeImageByExtension(refused, true), nullptr) << refused;
  EXPECT_EQ(DecodeImageByExtension(nullptr, true), nullptr);
}

TEST(PngDecoder, FileFilterIsTwoTerminatedTexts) {
  const char* filter = PngFileFilter();
  EXPECT_STREQ(filter, "PNG files (*.PNG)");
  const char* pattern = filter + std::strlen(filter) + 1;
  EXPECT_STREQ(pattern, "*.PNG");
  EXPECT_EQ(pattern[std::strlen(pattern) + 1], '\0');
}

} // namespace
} // namespace quorvane
