#pragma once
// Writes 32-bit pixels (0xAARRGGBB words, rows top down) to an 8-bit RGB PNG
// file; alpha is dropped, since what is saved (a window's picture, a plot)
// is opaque. Used by the editor screenshot and the plot tool; any thread.

#include <cstdint>
#include <cstdio>

namespace quorvane {

// strideInPixels: words from one row to the next (>= width). False when the
// arguments are unusable or the file cannot be written.
bool WritePngFile(const char* path, const std::uint32_t* pixels, int width, int height,
                  int strideInPixels);
// The same into a stream the caller opened (and closes), for callers that
// open files their own way.
bool WritePng(std::FILE* file, const std::uint32_t* pixels, int width, int height,
              int strideInPixels);

} // namespace quorvane
