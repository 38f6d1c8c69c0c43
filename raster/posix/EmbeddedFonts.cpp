#include "raster/posix/EmbeddedFonts.h"

// The build passes the font files' paths; the assembler copies their bytes
// into read-only data, bracketed by a start and an end symbol.
#define QUORVANE_EMBED(symbol, path)                                                              \
  asm(".section .rodata\n"                                                                        \
      ".balign 16\n"                                                                              \
      ".hidden " #symbol "\n"                                                                     \
      ".hidden " #symbol "_end\n" #symbol ":\n"                                                   \
      ".incbin \"" path "\"\n" #symbol "_end:\n"                                                  \
      ".previous\n")

QUORVANE_EMBED(quorvane_sans_regular, QUORVANE_FONT_SANS_REGULAR);
QUORVANE_EMBED(quorvane_sans_bold, QUORVANE_FONT_SANS_BOLD);

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
