#include "tests/raster/PngWriter.h"

#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace quorvane::test {
namespace {

void Append(png_structp png, png_bytep data, png_size_t size) {
  auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + size);
}

void NoFlush(png_structp) {}

// A writer failure is a broken test, not a case under test.
[[noreturn]] void Fail(png_structp, png_const_charp message) {
  std::fprintf(stderr, "test PNG writer: %s\n", message);
  std::abort();
}

struct Writer {
  png_structp png = nullptr;
  png_infop info = nullptr;
  std::vector<std::uint8_t> out;

  Writer() {
    png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, Fail, nullptr);
    info = png_create_info_struct(png);
    png_set_write_fn(png, &out, Append, NoFlush);
  }
  ~Writer() { png_destroy_write_struct(&png, &info); }
};

int Channels(int colorType) {
  switch (colorType) {
  case PNG_COLOR_TYPE_GRAY:
  case PNG_COLOR_TYPE_PALETTE:
    return 1;
  case PNG_COLOR_TYPE_GRAY_ALPHA:
    return 2;
  case PNG_COLOR_TYPE_RGB:
    return 3;
  default:
    return 4;
  }
}

} // namespace

std::size_t RowBytes(const PngImage& image) {
  return (std::size_t(image.width) * Channels(image.colorType) * image.bitDepth + 7) / 8;
}

std::vector<std::uint8_t> WritePng(const PngImage& image) {
  Writer w;
  png_set_IHDR(w.png, w.info, png_uint_32(image.width), png_uint_32(image.height), image.bitDepth,
               image.colorType, image.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (!image.palette.empty())
    png_set_PLTE(w.png, w.info, image.palette.data(), int(image.palette.size()));
  if (!image.paletteAlpha.empty())
    png_set_tRNS(w.png, w.info, image.paletteAlpha.data(), int(image.paletteAlpha.size()), nullptr);
  if (image.transparentColour) {
    png_color_16 colour = image.transparent;
    png_set_tRNS(w.png, w.info, nullptr, 0, &colour);
  }
  std::vector<png_bytep> rows(std::size_t(image.height));
  std::vector<std::uint8_t> data = image.rows;
  for (int y = 0; y < image.height; ++y)
    rows[y] = data.data() + std::size_t(y) * RowBytes(image);
  png_set_rows(w.png, w.info, rows.data());
  png_write_png(w.png, w.info, PNG_TRANSFORM_IDENTITY, nullptr);
  return w.out;
}

std::vector<std::uint8_t> WriteBlankPng(int width, int height, int colorType, int bitDepth) {
  Writer w;
  png_set_IHDR(w.png, w.info, png_uint_32(width), png_uint_32(height), bitDepth, colorType,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(w.png, w.info);
  PngImage shape;
  shape.width = width;
  shape.colorType = colorType;
  shape.bitDepth = bitDepth;
  std::vector<std::uint8_t> row(RowBytes(shape), 0);
  for (int y = 0; y < height; ++y)
    png_write_row(w.png, row.data());
  png_write_end(w.png, nullptr);
  return w.out;
}

std::size_t FindChunk(const std::vector<std::uint8_t>& png, const char* type) {
  std::size_t at = 8;
  while (at + 12 <= png.size()) {
    const std::uint32_t length = std::uint32_t(png[at]) << 24 | std::uint32_t(png[at + 1]) << 16 |
                                 std::uint32_t(png[at + 2]) << 8 | png[at + 3];
    if (std::memcmp(&png[at + 4], type, 4) == 0) return at;
    at += 12 + length;
  }
  throw std::runtime_error("chunk not found");
}

void PutBigEndian32(std::vector<std::uint8_t>& png, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i)
    png[at + i] = std::uint8_t(value >> (24 - 8 * i));
}

void FixChunkCrc(std::vector<std::uint8_t>& png, std::size_t chunkStart) {
  const std::uint32_t length = std::uint32_t(png[chunkStart]) << 24 |
                               std::uint32_t(png[chunkStart + 1]) << 16 |
                               std::uint32_t(png[chunkStart + 2]) << 8 | png[chunkStart + 3];
  const uLong crc = crc32(0, &png[chunkStart + 4], uInt(length + 4));
  PutBigEndian32(png, chunkStart + 8 + length, std::uint32_t(crc));
}

} // namespace quorvane::test
