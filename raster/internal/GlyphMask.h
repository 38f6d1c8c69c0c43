#pragma once
// Turning one character drawn by a GlyphSource into a cached coverage mask.

#include "raster/GlyphRecord.h"
#include "raster/GlyphSource.h"

#include <cstdint>
#include <vector>

namespace quorvane::internal {

struct MaskStyle {
  enum class Turn { None, Clockwise, CounterClockwise };
  Turn turn = Turn::None;
  bool blur = false;
  bool invert = false;
  bool monochrome = false;
  bool outlineUpLeft = false; // outline from the left, upper and upper-left neighbours
  bool outlineAround = false; // outline from the four direct neighbours
};

// Trims the empty margin columns, applies the style and appends the mask to
// `masks`, filling width, height, bearing, advance and offset of `record`. A
// character without pixels is recorded as such and only advances.
void AppendGlyphMask(const GlyphImage& image, int margin, const MaskStyle& style,
                     std::vector<std::uint8_t>* masks, GlyphRecord* record);

} // namespace quorvane::internal
