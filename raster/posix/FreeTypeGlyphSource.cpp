#include "raster/posix/FreeTypeGlyphSource.h"

#include "raster/FillRectangle.h"
#include "raster/HeapBitmap.h"
#include "raster/posix/EmbeddedFonts.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H

#include <algorithm>
#include <cmath>

namespace quorvane {
namespace {

constexpr int kMinCanvas = 256;
// What a Windows font of height 0 comes out as.
constexpr int kDefaultPixelHeight = 16;
constexpr int kMaxPixelHeight = 4096;

struct Font {
  FT_Face face = nullptr;
  bool italic = false;
  int lineHeight = 0;
  int baseline = 0; // pixels from the top of a line to the baseline
};

// A line's height and baseline as Windows computes them for a cell height:
// the face's ascent and descent scaled to the cell, the ascent rounded.
void SetLineMetrics(Font& font, int cellHeight) {
  const double ascent = font.face->ascender;
  const double descent = -double(font.face->descender);
  font.lineHeight = cellHeight;
  font.baseline = int(std::lround(cellHeight * ascent / std::max(ascent + descent, 1.0)));
}

void CopyCoverage(const FT_Bitmap& bitmap, HeapBitmap& canvas, int left, int top, int width,
                  int height) {
  for (unsigned row = 0; row < bitmap.rows; ++row) {
    const int y = top + int(row);
    if (y < 0 || y >= height) continue;
    const unsigned char* src = bitmap.buffer + std::ptrdiff_t(row) * bitmap.pitch;
    std::uint32_t* dst = canvas.Pixels() + std::ptrdiff_t(y) * canvas.RowStride();
    for (unsigned column = 0; column < bitmap.width; ++column) {
      const int x = left + int(column);
      if (x < 0 || x >= width) continue;
      unsigned v = bitmap.pixel_mode == FT_PIXEL_MODE_MONO
                       ? ((src[column >> 3] >> (7 - (column & 7))) & 1u) * 255u
                       : src[column];
      v = std::max(v, dst[x] & 0xFFu);
      dst[x] = 0xFF000000u | v << 16 | v << 8 | v;
    }
  }
}

} // namespace

struct FreeTypeGlyphSource::Library {
  FT_Library handle = nullptr;
};

FreeTypeGlyphSource::FreeTypeGlyphSource() : library_(std::make_unique<Library>()) {}

FreeTypeGlyphSource::~FreeTypeGlyphSource() {
  if (library_->handle != nullptr) FT_Done_FreeType(library_->handle);
}

void* FreeTypeGlyphSource::CreateFont(int pixelHeight, bool bold, bool italic) {
  if (pixelHeight < -kMaxPixelHeight || pixelHeight > kMaxPixelHeight) return nullptr;
  const FontBytes bytes = bold ? EmbeddedSansBold() : EmbeddedSansRegular();
  auto font = std::make_unique<Font>();
  {
    // The library lives only while faces do, so that unloading the plug-in
    // leaves none of FreeType's memory behind.
    std::lock_guard<std::mutex> guard(facesLock_);
    if (library_->handle == nullptr && FT_Init_FreeType(&library_->handle) != 0) {
      library_->handle = nullptr;
      return nullptr;
    }
    if (FT_New_Memory_Face(library_->handle, bytes.data, FT_Long(bytes.size), 0, &font->face) != 0)
      font->face = nullptr;
    else
      ++liveFaces_;
  }
  if (font->face == nullptr) {
    DeleteFont(font.release());
    return nullptr;
  }
  font->italic = italic;
  FT_Size_RequestRec request{};
  if (pixelHeight < 0) {
    // A character height: the em square, as Windows takes a negative height.
    request.type = FT_SIZE_REQUEST_TYPE_NOMINAL;
    request.height = FT_Long(-pixelHeight) * 64;
  } else {
    request.type = FT_SIZE_REQUEST_TYPE_CELL;
    request.height = FT_Long(pixelHeight == 0 ? kDefaultPixelHeight : pixelHeight) * 64;
  }
  if (FT_Request_Size(font->face, &request) != 0) {
    DeleteFont(font.release());
    return nullptr;
  }
  const FT_Size_Metrics& scaled = font->face->size->metrics;
  const double unitsToPixels = double(scaled.y_scale) / 65536.0 / 64.0;
  const int cell =
      pixelHeight > 0
          ? pixelHeight
          : int(std::lround((font->face->ascender - font->face->descender) * unitsToPixels));
  SetLineMetrics(*font, std::max(cell, 1));
  return font.release();
}

void FreeTypeGlyphSource::FontCreated() {
  ++liveFonts_;
}

void FreeTypeGlyphSource::FontDestroyed() {
  if (liveFonts_ > 0 && --liveFonts_ == 0) canvas_.reset();
  ReleaseIfUnused();
}

void FreeTypeGlyphSource::DeleteFont(void* handle) {
  auto* font = static_cast<Font*>(handle);
  if (font == nullptr) return;
  {
    std::lock_guard<std::mutex> guard(facesLock_);
    if (font->face != nullptr) {
      FT_Done_Face(font->face);
      --liveFaces_;
    }
    if (liveFaces_ == 0 && library_->handle != nullptr) {
      FT_Done_FreeType(library_->handle);
      library_->handle = nullptr;
    }
  }
  delete font;
  ReleaseIfUnused();
}

int FreeTypeGlyphSource::LineHeight(void* handle) {
  return handle != nullptr ? static_cast<Font*>(handle)->lineHeight : 0;
}

HeapBitmap* FreeTypeGlyphSource::Canvas(int size) {
  size = std::max(size, kMinCanvas);
  if (!canvas_) canvas_ = std::make_unique<HeapBitmap>(size, size, 4);
  if (canvas_->Width() < size || canvas_->Height() < size) canvas_->Resize(size, size);
  return canvas_->Pixels() != nullptr && canvas_->Width() >= size ? canvas_.get() : nullptr;
}

bool FreeTypeGlyphSource::RenderGlyph(void* handle, std::uint32_t code, int lineHeight, int margin,
                                      GlyphImage* out) {
  auto* font = static_cast<Font*>(handle);
  if (font == nullptr || out == nullptr || code > 0xFFFF) return false;
  HeapBitmap* canvas = Canvas(2 * std::max(lineHeight, 1) + 8);
  if (canvas == nullptr) return false;

  // Light hinting keeps the face's own advances, as the Windows cache keeps
  // GDI's, while snapping stems vertically for a crisp line of small text.
  FT_GlyphSlot slot = font->face->glyph;
  if (FT_Load_Char(font->face, code, FT_LOAD_TARGET_LIGHT) != 0) return false;
  if (font->italic) FT_GlyphSlot_Oblique(slot);
  if (FT_Render_Glyph(slot, FT_RENDER_MODE_LIGHT) != 0) return false;

  const int advance = std::max(0, int((slot->advance.x + 32) >> 6));
  const int width = std::min(advance + 2 * margin, canvas->Width());
  const int height = std::min(std::max(font->lineHeight, 1), canvas->Height());
  FillRectangle(canvas, 0, 0, width, height, 0xFF000000, 1.0f, kBlendCopy);
  CopyCoverage(slot->bitmap, *canvas, margin + slot->bitmap_left, font->baseline - slot->bitmap_top,
               width, height);

  out->bitmap = canvas;
  out->width = width;
  out->height = height;
  out->advance = advance;
  return true;
}

namespace {

// The process's source lives while any of its fonts does: the fonts in the
// editor's cache go when the library unloads, and the source after the last
// of them, whatever the order of static destruction.
std::mutex processSourceLock;
FreeTypeGlyphSource* processSource = nullptr;

} // namespace

FreeTypeGlyphSource* ProcessFreeTypeSource() {
  std::lock_guard<std::mutex> guard(processSourceLock);
  if (processSource == nullptr) {
    processSource = new FreeTypeGlyphSource;
    processSource->releaseWhenUnused_ = true;
  }
  return processSource;
}

void FreeTypeGlyphSource::ReleaseIfUnused() {
  if (!releaseWhenUnused_ || liveFonts_ != 0 || liveFaces_ != 0) return;
  {
    std::lock_guard<std::mutex> guard(processSourceLock);
    processSource = nullptr;
  }
  delete this;
}

GlyphSource* DefaultGlyphSource() {
  return ProcessFreeTypeSource();
}

} // namespace quorvane
