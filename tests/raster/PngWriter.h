#pragma once
// Writes test images with libpng's own writer, so the decoder is checked
// against files it did not make itself.

#include <png.h>

#include <cstdint>
#include <string>
#include <vector>

namespace quorvane::test {

struct PngImage {
  int width = 0;
  int height = 0;
  int colorType = PNG_COLOR_TYPE_RGB;
  int bitDepth = 8;
  bool interlaced = false;
  std::vector<std::uint8_t> rows; // packed as the file stores them, 16-bit big-endian
  std::vector<png_color> palette;
  std::vector<std::uint8_t> paletteAlpha; // tRNS of a palette image
  bool transparentColour = false;         // tRNS of a grey or RGB image
  png_color_16 transparent{};
};

std::size_t RowBytes(const PngImage& image);
std::vector<std::uint8_t> WritePng(const PngImage& image);
// An image of zero rows, written row by row so that huge images need no
// memory in the writer.
std::vector<std::uint8_t> WriteBlankPng(int width, int height, int colorType, int bitDepth);

// Chunk surgery on a written file.
std::size_t FindChunk(const std::vector<std::uint8_t>& png, const char* type);
void FixChunkCrc(std::vector<std::uint8_t>& png, std::size_t chunkStart);
void PutBigEndian32(std::vector<std::uint8_t>& png, std::size_t at, std::uint32_t value);

} // namespace quorvane::test
