#include "editor/BitmapCache.h"

#include <utility>

namespace quorvane {

BitmapCache& BitmapCache::Instance() {
  static BitmapCache cache;
  return cache;
}

RasterBitmap* BitmapCache::Find(std::int32_t id) {
  PluginLockGuard guard(lock);
  return FindLocked(id);
}

RasterBitmap* BitmapCache::Insert(std::int32_t id, std::unique_ptr<RasterBitmap> bitmap) {
  if (!bitmap) return nullptr;
  PluginLockGuard guard(lock);
  if (id != kCropped) {
    if (RasterBitmap* existing = FindLocked(id)) return existing;
  }
  RasterBitmap* raw = bitmap.get();
  entries.push_back(Entry{id, std::move(bitmap)});
  return raw;
}

std::size_t BitmapCache::Count() {
  PluginLockGuard guard(lock);
  return entries.size();
}

RasterBitmap* BitmapCache::FindLocked(std::int32_t id) const {
  if (id == kCropped) return nullptr; // crops are kept for release only, never shared
  for (const Entry& entry : entries)
    if (entry.id == id) return entry.bitmap.get();
  return nullptr;
}

} // namespace quorvane
