#pragma once
// The process-wide store of the editor's bitmaps, shared by every plug-in
// instance: images decoded from the library's resources, entered under their
// resource id, and bitmaps cropped for controls, entered under kCropped only
// so that they are released with the rest. The bitmaps live until the
// library unloads (the static instance is destroyed then).
//
// Threads: any editor thread of any instance; one lock guards each lookup and
// each insertion, never a load in between.

#include "framework/PluginLock.h"
#include "raster/RasterBitmap.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace quorvane {

class BitmapCache {
public:
  static constexpr std::int32_t kCropped = -1;

  static BitmapCache& Instance();

  // The first bitmap entered under id, or null.
  RasterBitmap* Find(std::int32_t id);
  // Enters bitmap under id and answers it. If another thread entered a bitmap
  // under the same resource id since this one missed, that one is kept and
  // answered and this one is dropped, so every instance shares one copy. A
  // null bitmap is not entered.
  RasterBitmap* Insert(std::int32_t id, std::unique_ptr<RasterBitmap> bitmap);
  std::size_t Count();

private:
  BitmapCache() = default;
  RasterBitmap* FindLocked(std::int32_t id) const;

  struct Entry {
    std::int32_t id;
    std::unique_ptr<RasterBitmap> bitmap;
  };

  PluginLock lock;
  std::vector<Entry> entries;
};

} // namespace quorvane
