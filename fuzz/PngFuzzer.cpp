// PNG images from memory, as the editor loads its images. Whatever the bytes, decoding answers
// null or a bitmap of the size the image header states, every pixel of which can be read; a
// colour type without alpha decodes opaque, a grey one to equal red, green and blue; and
// decoding into a bitmap the caller supplies gives that bitmap, with the same pixels.

#include "fuzz/FuzzCheck.h"

#include "raster/HeapBitmap.h"
#include "raster/PngDecoder.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>

using namespace quorvane;

namespace {

constexpr uint8_t kTypeGrey = 0;
constexpr uint8_t kTypeRgb = 2;
constexpr uint8_t kTypePalette = 3;
constexpr uint8_t kTypeGreyAlpha = 4;

// The image header is the first chunk, at byte 8: length, "IHDR", width, height, depth, type.
struct Header {
  bool present = false;
  uint32_t width = 0;
  uint32_t height = 0;
  uint8_t colourType = 0;
};

uint32_t BigEndian32(const uint8_t* p) {
  return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

Header ReadHeader(const uint8_t* data, std::size_t size) {
  Header header;
  if (size < 26 || std::memcmp(data + 12, "IHDR", 4) != 0) return header;
  header.present = true;
  header.width = BigEndian32(data + 16);
  header.height = BigEndian32(data + 20);
  header.colourType = data[25];
  return header;
}

bool Contains(const uint8_t* data, std::size_t size, const char* tag) {
  const uint8_t* end = data + size;
  return std::search(data, end, tag, tag + std::strlen(tag)) != end;
}

void CheckPixels(const quorvane::RasterBitmap& bitmap, const Header& header, bool transparency) {
  const bool opaque =
      !transparency && (header.colourType == kTypeGrey || header.colourType == kTypeRgb ||
                        header.colourType == kTypePalette);
  const bool grey = header.colourType == kTypeGrey || header.colourType == kTypeGreyAlpha;
  for (int y = 0; y < bitmap.Height(); ++y) {
    const uint32_t* row = bitmap.Pixels() + std::size_t(y) * std::size_t(bitmap.RowStride());
    for (int x = 0; x < bitmap.Width(); ++x) {
      const uint32_t pixel = row[x];
      FuzzRequire(!opaque || (pixel >> 24) == 0xFF, "pixel (%d, %d) = %08x of an opaque image", x,
                  y, pixel);
      const uint32_t red = (pixel >> 16) & 0xFF, green = (pixel >> 8) & 0xFF, blue = pixel & 0xFF;
      FuzzRequire(!grey || (red == green && green == blue), "pixel (%d, %d) = %08x of a grey image",
                  x, y, pixel);
    }
  }
}

bool SamePixels(const quorvane::RasterBitmap& a, const quorvane::RasterBitmap& b) {
  for (int y = 0; y < a.Height(); ++y) {
    const uint32_t* rowA = a.Pixels() + std::size_t(y) * std::size_t(a.RowStride());
    const uint32_t* rowB = b.Pixels() + std::size_t(y) * std::size_t(b.RowStride());
    if (std::memcmp(rowA, rowB, std::size_t(a.Width()) * 4) != 0) return false;
  }
  return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  std::unique_ptr<quorvane::RasterBitmap> decoded(quorvane::DecodePngMemory(data, size));
  // A bitmap of another size and row alignment than the image, to be resized by the decoder.
  quorvane::HeapBitmap supplied(3, 5, 1);
  quorvane::RasterBitmap* into = quorvane::DecodePngMemory(data, size, &supplied);
  if (!decoded) {
    FuzzRequire(into == nullptr, "decoding into a supplied bitmap succeeded alone");
    return 0;
  }
  FuzzRequire(into == &supplied, "decoding into a supplied bitmap answered another one");

  const quorvane::RasterBitmap& bitmap = *decoded;
  FuzzRequire(bitmap.Width() > 0 && bitmap.Height() > 0 && bitmap.Pixels() != nullptr &&
                  bitmap.RowStride() >= bitmap.Width(),
              "decoded bitmap %d x %d, stride %d, pixels %p", bitmap.Width(), bitmap.Height(),
              bitmap.RowStride(), static_cast<void*>(bitmap.Pixels()));
  const Header header = ReadHeader(data, size);
  FuzzRequire(header.present, "an image without a leading header decoded");
  FuzzRequire(uint32_t(bitmap.Width()) == header.width &&
                  uint32_t(bitmap.Height()) == header.height,
              "decoded %d x %d from a header of %u x %u", bitmap.Width(), bitmap.Height(),
              header.width, header.height);
  CheckPixels(bitmap, header, Contains(data, size, "tRNS"));

  FuzzRequire(supplied.Width() == bitmap.Width() && supplied.Height() == bitmap.Height(),
              "supplied bitmap is %d x %d, the image %d x %d", supplied.Width(), supplied.Height(),
              bitmap.Width(), bitmap.Height());
  FuzzRequire(SamePixels(bitmap, supplied), "the two decodings differ");
  return 0;
}
