#include "tests/editor/TestImages.h"

#include <png.h>

namespace quorvane::test {

std::unique_ptr<HeapBitmap> Solid(int width, int height, std::uint32_t word) {
  return Strip(width, height, true, {word});
}

std::unique_ptr<HeapBitmap> Strip(int frameWidth, int frameHeight, bool vertical,
                                  const std::vector<std::uint32_t>& colours) {
  const int n = static_cast<int>(colours.size());
  const int width = vertical ? frameWidth : frameWidth * n;
  const int height = vertical ? frameHeight * n : frameHeight;
  auto bitmap = std::make_unique<HeapBitmap>(width, height, 4);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      SetPixel(*bitmap, x, y,
               colours[static_cast<std::size_t>(vertical ? y / frameHeight : x / frameWidth)]);
  return bitmap;
}

std::uint32_t PixelAt(const RasterBitmap& bitmap, int x, int y) {
  return bitmap.Pixels()[y * bitmap.RowStride() + x];
}

void SetPixel(RasterBitmap& bitmap, int x, int y, std::uint32_t word) {
  bitmap.Pixels()[y * bitmap.RowStride() + x] = word;
}

namespace {

void AppendBytes(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

void NoFlush(png_structp) {}

} // namespace

std::vector<std::uint8_t> SolidPng(int width, int height, std::uint32_t word) {
  std::vector<std::uint8_t> bytes;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_set_write_fn(png, &bytes, AppendBytes, NoFlush);
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
               PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  std::vector<std::uint8_t> row(static_cast<std::size_t>(width) * 4);
  for (int x = 0; x < width; ++x) {
    row[static_cast<std::size_t>(x) * 4 + 0] = static_cast<std::uint8_t>(word >> 16);
    row[static_cast<std::size_t>(x) * 4 + 1] = static_cast<std::uint8_t>(word >> 8);
    row[static_cast<std::size_t>(x) * 4 + 2] = static_cast<std::uint8_t>(word);
    row[static_cast<std::size_t>(x) * 4 + 3] = static_cast<std::uint8_t>(word >> 24);
  }
  for (int y = 0; y < height; ++y)
    png_write_row(png, row.data());
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return bytes;
}

} // namespace quorvane::test
