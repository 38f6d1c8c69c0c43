#pragma once
// The platform's font for an editor text style: on Windows a GDI font of the
// style's face, size, weight, slant, angle and quality, owned by the
// GlyphFont with native drawing allowed; on Linux a FreeType font of the
// built-in sans-serif at the style's size, weight and slant. Editor window
// thread.

#include "raster/GlyphFont.h"
#include "raster/TextStyle.h"

#include <memory>

namespace quorvane {

// Null when the platform cannot make the font.
std::unique_ptr<GlyphFont> MakeStyleFont(const TextStyle& style);

} // namespace quorvane
