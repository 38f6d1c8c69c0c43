// The editor's images go through libpng and zlib. In the Windows build both
// are static archives built for MinGW; a header from one version and an
// archive from another, or error handling (setjmp/longjmp) that does not
// unwind in this runtime, would only show once a damaged image arrives.

#include <gtest/gtest.h>

#include <png.h>
#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace quorvane {

namespace {

constexpr std::uint32_t kWidth = 3;
constexpr std::uint32_t kHeight = 2;

std::vector<std::uint8_t> samplePixels() {
  std::vector<std::uint8_t> pixels(kWidth * kHeight * 4);
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    pixels[i] = static_cast<std::uint8_t>(i * 37 + 11);
  }
  return pixels;
}

png_image rgbaImage() {
  png_image image;
  std::memset(&image, 0, sizeof(image));
  image.version = PNG_IMAGE_VERSION;
  image.width = kWidth;
  image.height = kHeight;
  image.format = PNG_FORMAT_RGBA;
  return image;
}

std::vector<std::uint8_t> encode(const std::vector<std::uint8_t>& pixels) {
  png_image image = rgbaImage();
  png_alloc_size_t size = 0;
  if (!png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, nullptr)) {
    return {};
  }
  std::vector<std::uint8_t> bytes(size);
  if (!png_image_write_to_memory(&image, bytes.data(), &size, 0, pixels.data(), 0, nullptr)) {
    return {};
  }
  bytes.resize(size);
  return bytes;
}

// Returns false, with the image released, when the bytes are not a PNG.
bool decode(const std::vector<std::uint8_t>& bytes, std::vector<std::uint8_t>& pixels) {
  png_image image;
  std::memset(&image, 0, sizeof(image));
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) {
    return false;
  }
  image.format = PNG_FORMAT_RGBA;
  pixels.assign(PNG_IMAGE_SIZE(image), 0);
  const bool ok = png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr) != 0;
  png_image_free(&image);
  return ok && image.width == kWidth && image.height == kHeight;
}

TEST(ImageLibrary, HeadersMatchTheLinkedLibraries) {
  EXPECT_EQ(png_access_version_number(), static_cast<png_uint_32>(PNG_LIBPNG_VER));
  EXPECT_STREQ(zlibVersion(), ZLIB_VERSION);
}

TEST(ImageLibrary, RgbaRoundTripIsExact) {
  const std::vector<std::uint8_t> pixels = samplePixels();
  const std::vector<std::uint8_t> bytes = encode(pixels);
  ASSERT_GT(bytes.size(), 8u);
  const std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  EXPECT_EQ(std::memcmp(bytes.data(), signature, sizeof(signature)), 0);

  std::vector<std::uint8_t> decoded;
  ASSERT_TRUE(decode(bytes, decoded));
  EXPECT_EQ(decoded, pixels);
}

TEST(ImageLibrary, DamagedDataIsRefusedCleanly) {
  const std::vector<std::uint8_t> bytes = encode(samplePixels());
  ASSERT_GT(bytes.size(), 40u);
  std::vector<std::uint8_t> pixels;

  const std::vector<std::uint8_t> truncated(bytes.begin(), bytes.begin() + 40);
  EXPECT_FALSE(decode(truncated, pixels));

  std::vector<std::uint8_t> corrupted = bytes;
  corrupted[corrupted.size() / 2] ^= 0xFF; // inside the image data: CRC or inflate fails
  EXPECT_FALSE(decode(corrupted, pixels));

  const std::vector<std::uint8_t> notPng(64, 0x42);
  EXPECT_FALSE(decode(notPng, pixels));
}

} // namespace

} // namespace quorvane
