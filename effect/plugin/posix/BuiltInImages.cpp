#include "effect/plugin/posix/BuiltInImages.h"

#include "editor/DisplayScale.h"
#include "effect/EditorImages.h"
#include "raster/PngDecoder.h"
#include "raster/posix/EmbedBytes.h"

#include <cstddef>

// Every image as drawn at 1x, 2x and 3x.
#define QUORVANE_EMBED_IMAGE(name, id, file, frames)                                               \
  QUORVANE_EMBED_BYTES(quorvane_image_##name, QUORVANE_IMAGE_DIR "/" file);                       \
  QUORVANE_EMBED_BYTES(quorvane_image_##name##_2x, QUORVANE_IMAGE_DIR "/2x/" file);               \
  QUORVANE_EMBED_BYTES(quorvane_image_##name##_3x, QUORVANE_IMAGE_DIR "/3x/" file);
QUORVANE_EDITOR_IMAGES(QUORVANE_EMBED_IMAGE)
#undef QUORVANE_EMBED_IMAGE

extern "C" {
#define QUORVANE_DECLARE_SET(symbol)                                                               \
  extern const std::uint8_t symbol[];                                                              \
  extern const std::uint8_t symbol##_end[];
#define QUORVANE_DECLARE_IMAGE(name, id, file, frames)                                             \
  QUORVANE_DECLARE_SET(quorvane_image_##name)                                                      \
  QUORVANE_DECLARE_SET(quorvane_image_##name##_2x)                                                 \
  QUORVANE_DECLARE_SET(quorvane_image_##name##_3x)
QUORVANE_EDITOR_IMAGES(QUORVANE_DECLARE_IMAGE)
#undef QUORVANE_DECLARE_IMAGE
#undef QUORVANE_DECLARE_SET
}

namespace quorvane {

namespace {

struct ImageBytes {
  std::int32_t id;
  const std::uint8_t* begin;
  const std::uint8_t* end;
};

// Under the ids of the resource script: the larger sets above the 1x ones.
const ImageBytes kImages[] = {
#define QUORVANE_IMAGE_BYTES(name, id, file, frames)                                               \
  {id, quorvane_image_##name, quorvane_image_##name##_end},                                        \
      {DisplayScale::ImageSetId(id, 2), quorvane_image_##name##_2x,                                \
       quorvane_image_##name##_2x_end},                                                            \
      {DisplayScale::ImageSetId(id, 3), quorvane_image_##name##_3x,                                \
       quorvane_image_##name##_3x_end},
    QUORVANE_EDITOR_IMAGES(QUORVANE_IMAGE_BYTES)
#undef QUORVANE_IMAGE_BYTES
};

} // namespace

std::unique_ptr<RasterBitmap> BuiltInEditorImage(std::int32_t resourceId) {
  for (const ImageBytes& image : kImages)
    if (image.id == resourceId)
      return std::unique_ptr<RasterBitmap>(
          DecodePngMemory(image.begin, std::size_t(image.end - image.begin)));
  return nullptr;
}

} // namespace quorvane
