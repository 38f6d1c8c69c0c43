#pragma once
// Copies a file's bytes into the library's read-only data at build time:
// QUORVANE_EMBED_BYTES(name, "path") defines the hidden symbols name and
// name_end around them, to be declared extern "C" as const std::uint8_t[].
// The path is the build's; nothing is read at run time.

#define QUORVANE_EMBED_BYTES(symbol, path)                                                         \
  asm(".section .rodata\n"                                                                         \
      ".balign 16\n"                                                                               \
      ".hidden " #symbol "\n"                                                                      \
      ".hidden " #symbol "_end\n" #symbol ":\n"                                                    \
      ".incbin \"" path "\"\n" #symbol "_end:\n"                                                   \
      ".previous\n")
