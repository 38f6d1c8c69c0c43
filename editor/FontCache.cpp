#include "editor/FontCache.h"

#include <cstring>
#include <utility>

namespace quorvane {

namespace {

// The style's name may lack a terminator; it is compared within its buffer.
constexpr std::size_t kStyleNameSize = sizeof(TextStyle::fontName);
static_assert(kStyleNameSize < FontCache::kNameSize, "a style's name fits an entry");

} // namespace

FontCache& FontCache::Instance() {
  static FontCache cache;
  return cache;
}

GlyphFont* FontCache::Find(const TextStyle& style) {
  PluginLockGuard guard(lock);
  return FindLocked(style);
}

GlyphFont* FontCache::Insert(const TextStyle& style, std::unique_ptr<GlyphFont> font) {
  if (!font) return nullptr;
  PluginLockGuard guard(lock);
  if (GlyphFont* existing = FindLocked(style)) return existing;
  Entry entry{style.size, style.orientation, style.styleFlags, {}, std::move(font)};
  std::memcpy(entry.name, style.fontName, kStyleNameSize);
  GlyphFont* raw = entry.font.get();
  entries.push_back(std::move(entry));
  return raw;
}

bool FontCache::Matches(const Entry& entry, const TextStyle& style) {
  return entry.size == style.size && entry.orientation == style.orientation &&
         entry.styleFlags == style.styleFlags &&
         std::strncmp(entry.name, style.fontName, kStyleNameSize) == 0;
}

GlyphFont* FontCache::FindLocked(const TextStyle& style) const {
  for (const Entry& entry : entries)
    if (Matches(entry, style)) return entry.font.get();
  return nullptr;
}

} // namespace quorvane
