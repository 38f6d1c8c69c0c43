#include "editor/StyleFont.h"

#include <windows.h>

#include <cstring>

namespace quorvane {

namespace {

DWORD QualityFor(std::int32_t quality) {
  switch (quality) {
  case TextStyle::kQualityDefault:
    return DEFAULT_QUALITY;
  case TextStyle::kQualityAntialiased:
    return ANTIALIASED_QUALITY;
  case TextStyle::kQualityClearType:
    return CLEARTYPE_QUALITY;
  default:
    return NONANTIALIASED_QUALITY;
  }
}

} // namespace

std::unique_ptr<GlyphFont> MakeStyleFont(const TextStyle& style) {
  // The style's name need not be terminated within its buffer.
  char face[sizeof(style.fontName) + 1] = {};
  std::memcpy(face, style.fontName, sizeof(style.fontName));
  const int tenths = style.orientation * 10;
  HFONT handle = CreateFontA(style.size, 0, tenths, tenths,
                             (style.styleFlags & TextStyle::kBold) ? FW_BOLD : FW_NORMAL,
                             (style.styleFlags & TextStyle::kItalic) ? TRUE : FALSE, FALSE, FALSE,
                             0, 0, 0, QualityFor(style.quality), 0, face);
  if (!handle) return nullptr;
  auto font = std::make_unique<GlyphFont>();
  font->AdoptFontHandle(handle, GlyphFont::kOwnsHandle | GlyphFont::kNativeAllowed);
  return font;
}

} // namespace quorvane
