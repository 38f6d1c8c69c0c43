#include "effect/plugin/posix/BuiltInImages.h"

#include "effect/EditorImages.h"
#include "raster/PngDecoder.h"
#include "raster/posix/EmbedBytes.h"

#include <cstddef>

#define QUORVANE_EMBED_IMAGE(name, id, file, frames)                                               \
  QUORVANE_EMBED_BYTES(quorvane_image_##name, QUORVANE_IMAGE_DIR "/" file);
QUORVANE_EDITOR_IMAGES(QUORVANE_EMBED_IMAGE)
#undef QUORVANE_EMBED_IMAGE

extern "C" {
#define QUORVANE_DECLARE_IMAGE(name, id, file, frames)                                             \
  extern const std::uint8_t quorvane_image_##name[];                                               \
  extern const std::uint8_t quorvane_image_##name##_end[];
QUORVANE_EDITOR_IMAGES(QUORVANE_DECLARE_IMAGE)
#undef QUORVANE_DECLARE_IMAGE
}

namespace quorvane {

namespace {

struct ImageBytes {
  std::int32_t id;
  const std::uint8_t* begin;
  const std::uint8_t* end;
};

const ImageBytes kImages[] = {
#define QUORVANE_IMAGE_BYTES(name, id, file, frames)                                               \
  {id, quorvane_image_##name, quorvane_image_##name##_end},
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
