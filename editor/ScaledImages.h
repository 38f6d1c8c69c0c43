#pragma once
// One editor's images at its screen scale. Every image the editor loads or
// crops is registered with its logical size; for a scale other than 1 the
// registry holds the same image in device pixels: the image set drawn at
// the next larger size, used as it is where its size fits exactly and
// otherwise resampled down once (box filter) when the scale is set; a crop
// is cut from its source's scaled image. Painting asks for the scaled image
// of a logical one.
//
// Threads: the thread that builds the editor, then the one that sets the
// scale and paints (the editor window's).

#include "raster/RasterBitmap.h"
#include "raster/Rect.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace quorvane {

class ScaledImages {
public:
  // Decodes (or finds) the image with that resource id and name; null when
  // there is none. The bitmap belongs to the process-wide cache.
  using Loader = std::function<const RasterBitmap*(std::int32_t id, const std::string& name)>;

  explicit ScaledImages(Loader loader);

  // A loaded image, known by its 1x bitmap; registering one twice does
  // nothing.
  void AddLoaded(const RasterBitmap* logical, std::int32_t resourceId, const char* name);
  // A crop of area (logical units) out of a registered image.
  void AddCrop(const RasterBitmap* crop, const RasterBitmap* source, const Rect& area);
  void SetScale(double factor);
  // The image to draw for a logical one at the current scale; the logical
  // image itself at scale 1 or when it was never registered.
  const RasterBitmap* Device(const RasterBitmap* logical) const;

private:
  struct Entry {
    const RasterBitmap* logical;
    std::int32_t resourceId;    // loaded images
    std::string name;           // loaded images
    const RasterBitmap* cropOf; // crops
    Rect area;                  // crops
    const RasterBitmap* device = nullptr;
    std::unique_ptr<RasterBitmap> owned; // a resampled image or a scaled crop
  };

  void Build(Entry& entry);
  void BuildLoaded(Entry& entry, int width, int height);
  void BuildCrop(Entry& entry);
  Entry* Find(const RasterBitmap* logical);

  Loader load;
  double scale = 1.0;
  std::vector<Entry> entries;
};

} // namespace quorvane
