#include "raster/internal/GlyphMask.h"

#include "raster/BlurRect.h"
#include "raster/internal/PixelView.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace quorvane::internal {
namespace {

constexpr std::size_t kMaskGrowth = 4096;
constexpr std::uint8_t kFull = 255;
constexpr std::uint8_t kOutline = 128;
constexpr std::uint8_t kMonochromeThreshold = 130;

// Coverage of each box pixel; GDI's white text gives equal channels except
// with sub-pixel smoothing, where green is the middle one.
std::vector<std::uint8_t> Coverage(const PixelView& view, int width, int height, bool invert) {
  std::vector<std::uint8_t> out(std::size_t(width) * height);
  for (int y = 0; y < height; ++y) {
    const std::uint32_t* row = view.Row(y);
    for (int x = 0; x < width; ++x) {
      const auto v = std::uint8_t(row[x] >> 8 & 0xFF);
      out[std::size_t(y) * width + x] = invert ? std::uint8_t(255 - v) : v;
    }
  }
  return out;
}

std::vector<std::uint8_t> Turned(const std::vector<std::uint8_t>& mask, int width, int height,
                                 MaskStyle::Turn turn) {
  std::vector<std::uint8_t> out(mask.size());
  // The turned mask is `height` wide and `width` high.
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const std::uint8_t v = mask[std::size_t(y) * width + x];
      if (turn == MaskStyle::Turn::Clockwise)
        out[std::size_t(x) * height + (height - 1 - y)] = v;
      else
        out[std::size_t(width - 1 - x) * height + y] = v;
    }
  return out;
}

void MakeMonochrome(std::vector<std::uint8_t>& mask) {
  for (auto& v : mask)
    v = v > kMonochromeThreshold ? kFull : 0;
}

void AddOutline(std::vector<std::uint8_t>& mask, int width, int height, bool around) {
  const std::vector<std::uint8_t> solid = mask;
  auto full = [&](int x, int y) {
    return x >= 0 && y >= 0 && x < width && y < height &&
           solid[std::size_t(y) * width + x] == kFull;
  };
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      std::uint8_t& v = mask[std::size_t(y) * width + x];
      if (v != 0) continue;
      const bool touches =
          around ? full(x - 1, y) || full(x + 1, y) || full(x, y - 1) || full(x, y + 1)
                 : full(x - 1, y) || full(x, y - 1) || full(x - 1, y - 1);
      if (touches) v = kOutline;
    }
}

} // namespace

void AppendGlyphMask(const GlyphImage& image, int margin, const MaskStyle& style,
                     std::vector<std::uint8_t>* masks, GlyphRecord* record) {
  record->maskOffset = GlyphRecord::kNoPixels;
  record->advance = std::max(image.advance, 0);
  record->width = record->height = record->bearing = 0;

  const PixelView view = ViewOf(image.bitmap);
  const int boxWidth = std::min(image.width, view.width);
  const int boxHeight = std::min(image.height, view.height);
  if (view.Empty() || boxWidth <= 0 || boxHeight <= 0) return;

  if (style.blur) BlurRect(image.bitmap, Rect{0, 0, boxWidth, boxHeight});
  const std::vector<std::uint8_t> box = Coverage(view, boxWidth, boxHeight, style.invert);

  int firstInk = -1, lastInk = -1;
  for (int x = 0; x < boxWidth; ++x)
    for (int y = 0; y < boxHeight; ++y)
      if (box[std::size_t(y) * boxWidth + x] != 0) {
        if (firstInk < 0) firstInk = x;
        lastInk = x;
        break;
      }
  if (firstInk < 0) return;

  // Keep ink that reaches into the left margin (italic overhangs), never
  // less than the measured width.
  const int pen = std::min(margin, boxWidth);
  const int first = std::min(firstInk, pen);
  const int end = std::max(std::min(pen + record->advance, boxWidth), lastInk + 1);
  int width = end - first, height = boxHeight;

  std::vector<std::uint8_t> mask(std::size_t(width) * height);
  for (int y = 0; y < height; ++y)
    std::copy_n(&box[std::size_t(y) * boxWidth + first], width, &mask[std::size_t(y) * width]);

  if (style.turn != MaskStyle::Turn::None) {
    mask = Turned(mask, width, height, style.turn);
    std::swap(width, height);
  }
  if (style.monochrome || style.outlineUpLeft || style.outlineAround) MakeMonochrome(mask);
  if (style.outlineUpLeft || style.outlineAround)
    AddOutline(mask, width, height, style.outlineAround);

  const std::size_t offset = masks->size();
  const std::size_t needed = offset + mask.size();
  if (needed >= std::size_t(INT32_MAX)) return;
  if (needed > masks->capacity())
    masks->reserve((needed + kMaskGrowth - 1) / kMaskGrowth * kMaskGrowth);
  masks->insert(masks->end(), mask.begin(), mask.end());

  record->maskOffset = std::int32_t(offset + 1);
  record->width = width;
  record->height = height;
  record->bearing = margin - first;
}

} // namespace quorvane::internal
