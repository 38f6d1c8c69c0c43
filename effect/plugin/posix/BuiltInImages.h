#pragma once
// The editor's images in the Linux plug-in: the PNG files of img/ built into
// the module (as the Windows module carries them as resources), decoded on
// request by resource id. Editor window thread.

#include "raster/RasterBitmap.h"

#include <cstdint>
#include <memory>

namespace quorvane {

// Null for an id that names no image.
std::unique_ptr<RasterBitmap> BuiltInEditorImage(std::int32_t resourceId);

} // namespace quorvane
