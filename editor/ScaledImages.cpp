#include "editor/ScaledImages.h"

#include "editor/DisplayScale.h"
#include "raster/BlitBitmap.h"
#include "raster/FillRectangle.h"
#include "raster/HeapBitmap.h"
#include "raster/ResampleBitmap.h"

#include <utility>

namespace quorvane {

ScaledImages::ScaledImages(Loader loader) : load(std::move(loader)) {}

void ScaledImages::AddLoaded(const RasterBitmap* logical, std::int32_t resourceId,
                             const char* name) {
  if (!logical || Find(logical)) return;
  entries.push_back(
      Entry{logical, resourceId, name ? name : "", nullptr, Rect{}, nullptr, nullptr});
  Build(entries.back());
}

void ScaledImages::AddCrop(const RasterBitmap* crop, const RasterBitmap* source, const Rect& area) {
  if (!crop || Find(crop)) return;
  entries.push_back(Entry{crop, 0, std::string(), source, area, nullptr, nullptr});
  Build(entries.back());
}

void ScaledImages::SetScale(double factor) {
  scale = factor;
  // In order: a crop follows its source.
  for (Entry& entry : entries)
    Build(entry);
}

const RasterBitmap* ScaledImages::Device(const RasterBitmap* logical) const {
  if (scale == 1.0) return logical;
  for (const Entry& entry : entries)
    if (entry.logical == logical) return entry.device ? entry.device : logical;
  return logical;
}

void ScaledImages::Build(Entry& entry) {
  entry.owned.reset();
  entry.device = entry.logical;
  if (scale == 1.0) return;
  if (entry.cropOf)
    BuildCrop(entry);
  else
    BuildLoaded(entry, DisplayScale::ToPixels(entry.logical->Width(), scale),
                DisplayScale::ToPixels(entry.logical->Height(), scale));
}

void ScaledImages::BuildLoaded(Entry& entry, int width, int height) {
  // The next larger set, or the largest below it when a set is missing.
  const RasterBitmap* drawn = nullptr;
  for (std::int32_t set = DisplayScale::ImageSetFor(scale); set > 1 && !drawn; --set)
    drawn = load(DisplayScale::ImageSetId(entry.resourceId, set),
                 DisplayScale::ImageSetName(entry.name.c_str(), set));
  if (!drawn) drawn = entry.logical;
  if (drawn->Width() == width && drawn->Height() == height) {
    entry.device = drawn;
    return;
  }
  entry.owned = ResampleBitmap(*drawn, width, height);
  if (entry.owned) entry.device = entry.owned.get();
}

void ScaledImages::BuildCrop(Entry& entry) {
  const RasterBitmap* source = Device(entry.cropOf);
  const Rect area = DisplayScale::ToPixels(entry.area, scale);
  const int w = area.right - area.left;
  const int h = area.bottom - area.top;
  if (!source || w <= 0 || h <= 0) return;
  auto crop = std::make_unique<HeapBitmap>(w, h, 4);
  if (!crop->Pixels()) return;
  FillRectangle(crop.get(), 0, 0, w, h, 0u, 1.0f, kBlendCopy);
  BlitBitmap(crop.get(), source, 0, 0, area.left, area.top, w, h, 1.0f, kBlendCopy);
  entry.device = crop.get();
  entry.owned = std::move(crop);
}

ScaledImages::Entry* ScaledImages::Find(const RasterBitmap* logical) {
  for (Entry& entry : entries)
    if (entry.logical == logical) return &entry;
  return nullptr;
}

} // namespace quorvane
