#pragma once
// The process-wide store of the editor's fonts, shared by every plug-in
// instance: one GlyphFont per distinct (size, orientation, style flags, font
// name). The fonts live until the library unloads (the static instance is
// destroyed then).
//
// Threads: any editor thread; one lock guards each lookup and each insertion,
// never the creation of a font in between. The fonts themselves are used on
// editor window threads only.

#include "framework/PluginLock.h"
#include "raster/GlyphFont.h"
#include "raster/TextStyle.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace quorvane {

class FontCache {
public:
  static constexpr std::size_t kNameSize = 36;

  static FontCache& Instance();

  // The first font made for a style with the same size, orientation, style
  // flags and font name (exact, case-sensitive), or null.
  GlyphFont* Find(const TextStyle& style);
  // Enters font for style and answers it. If a font for an equal style was
  // entered since this one missed, that one is kept and answered and this one
  // is dropped. A null font is not entered.
  GlyphFont* Insert(const TextStyle& style, std::unique_ptr<GlyphFont> font);

private:
  FontCache() = default;

  struct Entry {
    std::int32_t size;
    std::int32_t orientation;
    std::int32_t styleFlags;
    char name[kNameSize];
    std::unique_ptr<GlyphFont> font;
  };

  static bool Matches(const Entry& entry, const TextStyle& style);
  GlyphFont* FindLocked(const TextStyle& style) const;

  PluginLock lock;
  std::vector<Entry> entries;
};

} // namespace quorvane
