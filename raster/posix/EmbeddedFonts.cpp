#include "raster/posix/EmbeddedFonts.h"

#include "raster/posix/EmbedBytes.h"

// The build passes the font files' paths.
QUORVANE_EMBED_BYTES(quorvane_sans_regular, QUORVANE_FONT_SANS_REGULAR);
QUORVANE_EMBED_BYTES(quorvane_sans_bold, QUORVANE_FONT_SANS_BOLD);

extern "C" {
extern const std::uint8_t quorvane_sans_regular[];
extern const std::uint8_t quorvane_sans_regular_end[];
extern const std::uint8_t quorvane_sans_bold[];
extern const std::uint8_t quorvane_sans_bold_end[];
}

namespace quorvane {

FontBytes EmbeddedSansRegular() {
  return {quorvane_sans_regular, std::size_t(quorvane_sans_regular_end - quorvane_sans_regular)};
}

FontBytes EmbeddedSansBold() {
  return {quorvane_sans_bold, std::size_t(quorvane_sans_bold_end - quorvane_sans_bold)};
}

} // namespace quorvane
