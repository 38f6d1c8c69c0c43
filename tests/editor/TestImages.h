#pragma once
// Small pictures for the editor tests, built in memory: solid bitmaps,
// strips of solid frames, and PNG bytes written with libpng.

#include "raster/HeapBitmap.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace quorvane::test {

inline constexpr std::uint32_t kBlack = 0xFF000000u;
inline constexpr std::uint32_t kRed = 0xFFFF0000u;
inline constexpr std::uint32_t kGreen = 0xFF00FF00u;
inline constexpr std::uint32_t kBlue = 0xFF0000FFu;
inline constexpr std::uint32_t kWhite = 0xFFFFFFFFu;
inline constexpr std::uint32_t kGrey = 0xFF808080u;
inline constexpr std::uint32_t kClear = 0x00000000u;

std::unique_ptr<HeapBitmap> Solid(int width, int height, std::uint32_t word);
// One solid frame per colour, stacked vertically or side by side; each frame
// is frameWidth x frameHeight.
std::unique_ptr<HeapBitmap> Strip(int frameWidth, int frameHeight, bool vertical,
                                  const std::vector<std::uint32_t>& colours);
std::uint32_t PixelAt(const RasterBitmap& bitmap, int x, int y);
void SetPixel(RasterBitmap& bitmap, int x, int y, std::uint32_t word);
// An RGBA PNG file of a solid colour.
std::vector<std::uint8_t> SolidPng(int width, int height, std::uint32_t word);

} // namespace quorvane::test
