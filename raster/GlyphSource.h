#pragma once
// What GlyphFont needs from the platform's text renderer: font metrics, one
// character drawn white on black, and - where the platform can - drawing a
// whole text itself. On Windows this is GDI; on Linux FreeType with the faces
// built into the library; tests supply their own. Editor window thread only.

#include "raster/Rect.h"

#include <cstdint>

namespace quorvane {

class RasterBitmap;

// One character as the source drew it: white on an opaque black box at the
// top left of `bitmap`, the character's pen position `margin` pixels in.
struct GlyphImage {
  RasterBitmap* bitmap = nullptr; // owned by the source; valid until its next call
  int width = 0;                  // the box, limited to the bitmap
  int height = 0;
  int advance = 0; // measured width: pixels to the next character
};

// A whole text for the platform to draw (or measure) itself.
struct NativeTextRequest {
  void* font = nullptr;
  RasterBitmap* dest = nullptr;
  const char* text = nullptr; // UTF-8
  int length = 0;             // bytes
  Rect* rect = nullptr;       // in/out
  std::uint32_t format = 0;   // GlyphFont's format bits, private bits cleared
  std::uint32_t ink = 0;      // 0xAARRGGBB
  std::uint32_t paper = 0;
  int paperMode = 0;
  float weight = 1.0f; // for bitmaps without a device context
};

class GlyphSource {
public:
  GlyphSource() = default;
  GlyphSource(const GlyphSource&) = delete;
  GlyphSource& operator=(const GlyphSource&) = delete;
  virtual ~GlyphSource() = default;

  // Every GlyphFont announces itself, so that shared drawing surfaces can be
  // released when the last one goes.
  virtual void FontCreated() = 0;
  virtual void FontDestroyed() = 0;

  virtual void DeleteFont(void* font) = 0;
  // The font's line height in pixels; 0 when it cannot be measured.
  virtual int LineHeight(void* font) = 0;
  // Draws one character (a 16-bit code) with its pen position `margin`
  // pixels from the box's left edge; false when nothing could be drawn.
  virtual bool RenderGlyph(void* font, std::uint32_t code, int lineHeight, int margin,
                           GlyphImage* out) = 0;
  // Whether DrawNative may be used (false under Wine, whose native text
  // differs from Windows').
  virtual bool NativeDrawingAllowed() = 0;
  // Draws or measures the text natively; the height drawn, 0 when nothing was.
  virtual int DrawNative(const NativeTextRequest& request) = 0;
};

// The platform's source; lives for the whole process.
GlyphSource* DefaultGlyphSource();

} // namespace quorvane
