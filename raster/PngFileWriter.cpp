#include "raster/PngFileWriter.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <vector>

namespace quorvane {

namespace {

// Kept out of the function that calls setjmp, so no object with a destructor
// lives across a longjmp.
bool WriteRows(std::FILE* file, const std::vector<png_bytep>& rows, int width, int height) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (png == nullptr) return false;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_write_image(png, const_cast<png_bytepp>(rows.data()));
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

bool Writable(const std::uint32_t* pixels, int width, int height, int strideInPixels) {
  constexpr int kMaxSide = 1 << 15;
  return pixels != nullptr && width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide &&
         strideInPixels >= width;
}

} // namespace

bool WritePng(std::FILE* file, const std::uint32_t* pixels, int width, int height,
              int strideInPixels) {
  if (file == nullptr || !Writable(pixels, width, height, strideInPixels)) return false;
  const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
  std::vector<png_byte> rgb(rowBytes * static_cast<std::size_t>(height));
  std::vector<png_bytep> rows(static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y) {
    const std::uint32_t* src = pixels + static_cast<std::size_t>(y) * strideInPixels;
    png_bytep dst = rgb.data() + rowBytes * static_cast<std::size_t>(y);
    rows[static_cast<std::size_t>(y)] = dst;
    for (int x = 0; x < width; ++x) {
      dst[3 * x] = static_cast<png_byte>(src[x] >> 16);
      dst[3 * x + 1] = static_cast<png_byte>(src[x] >> 8);
      dst[3 * x + 2] = static_cast<png_byte>(src[x]);
    }
  }
  return WriteRows(file, rows, width, height) && std::fflush(file) == 0;
}

bool WritePngFile(const char* path, const std::uint32_t* pixels, int width, int height,
                  int strideInPixels) {
  if (path == nullptr || !Writable(pixels, width, height, strideInPixels)) return false;
  std::FILE* file = std::fopen(path, "wb");
  if (file == nullptr) return false;
  const bool written = WritePng(file, pixels, width, height, strideInPixels);
  const bool closed = std::fclose(file) == 0;
  if (!(written && closed)) std::remove(path);
  return written && closed;
}

} // namespace quorvane
