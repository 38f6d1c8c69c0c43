#include "raster/PngDecoder.h"

#include "raster/HeapBitmap.h"
#include "raster/internal/OpenFileUtf8.h"
#include "raster/internal/PixelView.h"

#include <png.h>

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

namespace quorvane {
namespace {

constexpr std::size_t kSignatureBytes = 8;

// Deflate cannot expand data by much more than 1032:1, so an image whose raw
// rows need far more than that of the input is damaged or hostile; refusing
// it early avoids allocating for dimensions the data cannot fill.
constexpr std::uint64_t kMaxInflateRatio = 1100;
constexpr std::uint64_t kInflateSlack = 1 << 16;
constexpr std::uint64_t kUnknownSize = ~std::uint64_t{0};

struct MemorySource {
  const png_byte* next;
  std::size_t left;
};

// Zero-fills what it cannot supply, then reports the short read: a cut
// stream must fail, not decode whatever zeros happen to inflate to.
void ReadFromMemory(png_structp png, png_bytep out, png_size_t count) {
  auto* source = static_cast<MemorySource*>(png_get_io_ptr(png));
  const std::size_t take = count < source->left ? count : source->left;
  std::memcpy(out, source->next, take);
  std::memset(out + take, 0, count - take);
  source->next += take;
  source->left -= take;
  if (take < count) png_error(png, "PNG data ends early");
}

// Owns libpng's read state; lives in the frame that calls the guarded steps,
// never in a frame that arms the error return.
//
// libpng allocates a chunk's whole stated length before reading it, so a few
// damaged bytes could cost gigabytes: its allocations are refused beyond what
// an input of this size can need, the bound of the row check below.
class ReadState {
public:
  explicit ReadState(std::uint64_t inputBytes) {
    if (inputBytes != kUnknownSize && inputBytes < (SIZE_MAX - kInflateSlack) / kMaxInflateRatio)
      allocationLimit_ = std::size_t(inputBytes * kMaxInflateRatio + kInflateSlack);
    png_ = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png_ == nullptr) return;
    png_set_mem_fn(png_, &allocationLimit_, Allocate, Free);
    info_ = png_create_info_struct(png_);
  }
  ~ReadState() {
    if (png_ != nullptr)
      png_destroy_read_struct(&png_, info_ != nullptr ? &info_ : nullptr, nullptr);
  }
  ReadState(const ReadState&) = delete;
  ReadState& operator=(const ReadState&) = delete;

  bool Ready() const { return png_ != nullptr && info_ != nullptr; }
  png_structp Png() const { return png_; }
  png_infop Info() const { return info_; }

private:
  static png_voidp Allocate(png_structp png, png_alloc_size_t size) {
    const std::size_t limit = *static_cast<const std::size_t*>(png_get_mem_ptr(png));
    return size > limit ? nullptr : std::malloc(size);
  }
  static void Free(png_structp, png_voidp memory) { std::free(memory); }

  std::size_t allocationLimit_ = SIZE_MAX;
  png_structp png_ = nullptr;
  png_infop info_ = nullptr;
};

struct ImageHeader {
  png_uint_32 width;
  png_uint_32 height;
};

// The two functions below arm libpng's error return. They hold only plain
// locals, so a longjmp out of libpng skips no destructor.

bool ReadHeaderGuarded(png_structp png, png_infop info, std::uint64_t inputBytes,
                       ImageHeader* header) {
  if (setjmp(png_jmpbuf(png)) != 0) return false;
  png_read_info(png, info);
  png_uint_32 width = 0, height = 0;
  int depth = 0, type = 0, interlace = 0;
  png_get_IHDR(png, info, &width, &height, &depth, &type, &interlace, nullptr, nullptr);

  const std::uint64_t rowBytes =
      (std::uint64_t(width) * png_get_channels(png, info) * std::uint64_t(depth) + 7) / 8 + 1;
  if (inputBytes != kUnknownSize &&
      rowBytes * height > inputBytes * kMaxInflateRatio + kInflateSlack)
    return false;

  if (type == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (type == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(png);
  if (png_get_valid(png, info, PNG_INFO_tRNS) != 0) {
    png_set_tRNS_to_alpha(png);
    type |= PNG_COLOR_MASK_ALPHA;
  }
  if (depth == 16) png_set_strip_16(png);
  if (depth < 8) png_set_packing(png);
  if (type == PNG_COLOR_TYPE_GRAY || type == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
  if ((type & PNG_COLOR_MASK_ALPHA) != 0)
    png_set_swap_alpha(png);
  else
    png_set_filler(png, 0xFF, PNG_FILLER_BEFORE);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);

  // The rows are written straight into the bitmap: anything but four bytes a
  // pixel would overrun it.
  if (png_get_rowbytes(png, info) != std::size_t(width) * 4) return false;
  header->width = width;
  header->height = height;
  return true;
}

bool ReadRowsGuarded(png_structp png, png_bytepp rows) {
  if (setjmp(png_jmpbuf(png)) != 0) return false;
  png_read_image(png, rows);
  return true;
}

// Alpha, red, green, blue bytes become the word 0xAARRGGBB.
void PackPixels(const internal::PixelView& view) {
  for (int y = 0; y < view.height; ++y) {
    std::uint32_t* row = view.Row(y);
    for (int x = 0; x < view.width; ++x) {
      png_byte b[4];
      std::memcpy(b, row + x, 4);
      row[x] = std::uint32_t(b[0]) << 24 | std::uint32_t(b[1]) << 16 | std::uint32_t(b[2]) << 8 |
               std::uint32_t(b[3]);
    }
  }
}

// Everything after the input is set up: header, bitmap, rows, pixel layout.
RasterBitmap* Decode(ReadState& state, std::uint64_t inputBytes, RasterBitmap* bitmap) {
  ImageHeader header{};
  if (!ReadHeaderGuarded(state.Png(), state.Info(), inputBytes, &header)) return nullptr;
  if (header.width > png_uint_32(HeapBitmap::kMaxDimension) ||
      header.height > png_uint_32(HeapBitmap::kMaxDimension))
    return nullptr;
  const int width = int(header.width), height = int(header.height);

  std::unique_ptr<RasterBitmap> created;
  if (bitmap != nullptr) {
    bitmap->Resize(width, height);
  } else {
    created.reset(new (std::nothrow) HeapBitmap(width, height, 4));
    bitmap = created.get();
  }
  if (bitmap == nullptr || bitmap->Width() != width || bitmap->Height() != height) return nullptr;
  const internal::PixelView view = internal::ViewOf(bitmap);
  if (view.Empty()) return nullptr;

  std::unique_ptr<png_bytep[]> rows(new (std::nothrow) png_bytep[std::size_t(height)]);
  if (!rows) return nullptr;
  for (int y = 0; y < height; ++y)
    rows[y] = reinterpret_cast<png_bytep>(view.Row(y));
  if (!ReadRowsGuarded(state.Png(), rows.get())) return nullptr;

  PackPixels(view);
  created.release();
  return bitmap;
}

std::uint64_t FileSize(std::FILE* file) {
  if (std::fseek(file, 0, SEEK_END) != 0) return kUnknownSize;
  const long size = std::ftell(file);
  std::rewind(file);
  return size < 0 ? kUnknownSize : std::uint64_t(size);
}

} // namespace

RasterBitmap* DecodePngMemory(const void* data, std::size_t size, RasterBitmap* bitmap) {
  if (data == nullptr || size < kSignatureBytes) return nullptr;
  auto* bytes = static_cast<png_const_bytep>(data);
  if (png_sig_cmp(bytes, 0, kSignatureBytes) != 0) return nullptr;

  ReadState state(size);
  if (!state.Ready()) return nullptr;
  MemorySource source{bytes, size};
  png_set_read_fn(state.Png(), &source, ReadFromMemory);
  return Decode(state, size, bitmap);
}

RasterBitmap* DecodePngFile(const char* path, RasterBitmap* bitmap) {
  if (path == nullptr) return nullptr;
  std::FILE* file = internal::OpenFileUtf8(path);
  if (file == nullptr) return nullptr;
  RasterBitmap* result = nullptr;
  {
    const std::uint64_t size = FileSize(file);
    ReadState state(size);
    if (state.Ready()) {
      png_init_io(state.Png(), file);
      result = Decode(state, size, bitmap);
    }
  }
  std::fclose(file);
  return result;
}

RasterBitmap* DecodeImageByExtension(const char* path, bool checkExtension, RasterBitmap* bitmap) {
  if (path == nullptr) return nullptr;
  if (checkExtension) {
    const char* tail = path;
    for (const char* p = path; *p != '\0'; ++p)
      if (*p == '.' || *p == '/' || *p == '\\') tail = p;
    static constexpr char kExtension[] = ".png";
    for (std::size_t i = 0; i < sizeof kExtension; ++i) {
      char c = tail[i];
      if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
      if (c != kExtension[i]) return nullptr;
    }
  }
  return DecodePngFile(path, bitmap);
}

const char* PngFileFilter() {
  return "PNG files (*.PNG)\0*.PNG\0";
}

} // namespace quorvane
