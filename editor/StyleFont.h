#pragma once
// The platform's font for an editor text style: on Windows a GDI font of the
// style's face, size, weight, slant, angle and quality, owned by the
// GlyphFont with native drawing allowed; elsewhere there is no platform text
// renderer and no font. Editor window thread.

#include "raster/GlyphFont.h"
#include "raster/TextStyle.h"

#include <memory>

namespace quorvane {

// Null when the platform cannot make the font.
std::unique_ptr<GlyphFont> MakeStyleFont(const TextStyle& style);

} // namespace quorvane
