#pragma once
// How a piece of editor text looks. Copied by value into the controls that
// draw text; the editor surface fills `font` from its font cache on first use.

#include "raster/Color.h"

#include <cstdint>

namespace quorvane {

class GlyphFont;

struct TextStyle {
  static constexpr std::int32_t kBold = 0x1;
  static constexpr std::int32_t kItalic = 0x2;

  static constexpr std::int32_t kAlignLeft = 0;
  static constexpr std::int32_t kAlignCentre = 1;
  static constexpr std::int32_t kAlignRight = 2;

  static constexpr std::int32_t kQualityDefault = 0;
  static constexpr std::int32_t kQualityNonAntialiased = 1;
  static constexpr std::int32_t kQualityAntialiased = 2;
  static constexpr std::int32_t kQualityClearType = 3;

  char fontName[32] = {};
  std::int32_t size = 0; // character height in pixels
  Color color;
  std::int32_t styleFlags = 0;
  std::int32_t alignment = kAlignLeft;
  std::int32_t orientation = 0; // degrees
  std::int32_t quality = kQualityDefault;
  GlyphFont* font = nullptr; // not owned; belongs to the editor's font cache
};

} // namespace quorvane
