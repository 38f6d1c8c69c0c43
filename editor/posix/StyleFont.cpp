#include "editor/StyleFont.h"

#include "raster/posix/FreeTypeGlyphSource.h"

namespace quorvane {

// Every face name maps to the built-in sans-serif; bold and italic as the
// style asks.
std::unique_ptr<GlyphFont> MakeStyleFont(const TextStyle& style) {
  FreeTypeGlyphSource* source = ProcessFreeTypeSource();
  void* handle = source->CreateFont(style.size, (style.styleFlags & TextStyle::kBold) != 0,
                                    (style.styleFlags & TextStyle::kItalic) != 0);
  if (handle == nullptr) return nullptr;
  auto font = std::make_unique<GlyphFont>(source);
  font->AdoptFontHandle(handle, GlyphFont::kOwnsHandle);
  return font;
}

} // namespace quorvane
