#pragma once
// Turning PNG images into bitmaps: every colour type and bit depth becomes
// 32-bit 0xAARRGGBB pixels with straight alpha (alpha 255 where the image has
// none). Called on the editor window's thread when the editor loads its
// images.
//
// Every decoder takes an optional bitmap. When one is given it is resized to
// the image, filled and returned; it is never destroyed, though a failure
// after the header was read may leave it resized. When none is given a new
// HeapBitmap (row alignment 4) is returned and the caller owns it. Damaged,
// truncated or implausibly large images give null.

#include <cstddef>

namespace quorvane {

class RasterBitmap;

RasterBitmap* DecodePngMemory(const void* data, std::size_t size, RasterBitmap* bitmap = nullptr);

// path is UTF-8.
RasterBitmap* DecodePngFile(const char* path, RasterBitmap* bitmap = nullptr);

// With checkExtension, refuses a path whose last extension is not ".png"
// (any case) before opening anything.
RasterBitmap* DecodeImageByExtension(const char* path, bool checkExtension,
                                     RasterBitmap* bitmap = nullptr);

// The file-dialog filter pair "PNG files (*.PNG)" and "*.PNG", each
// NUL-terminated, the pair ending in an empty text.
const char* PngFileFilter();

} // namespace quorvane
