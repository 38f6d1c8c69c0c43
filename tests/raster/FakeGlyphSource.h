#pragma once
// A glyph source with known shapes, standing in for the platform's renderer.
// Every character is drawn white on black into a box `lineHeight` high:
//   ' '            no ink, advance 3
//   'h'            the 'A' block at half coverage (128)
//   'I'            columns pen-1 .. pen+1 full height (ink left of the pen)
//   'm'            coverage 130 at (pen, 0) and 131 at (pen + 1, 0)
//   'o'            one full dot at (pen + 1, 1)
//   'x'            the source fails to draw it
//   other < 128    block of 4 x 6 at (pen, 2), advance 5
//   others         block of 5 x 6 at (pen, 2), advance 6

#include "raster/GlyphSource.h"
#include "raster/HeapBitmap.h"

#include <map>
#include <set>

namespace quorvane::test {

class FakeGlyphSource final : public GlyphSource {
public:
  int lineHeight = 10;
  bool nativeAllowed = false;
  int nativeResult = 42;

  int fontsCreated = 0;
  int fontsDestroyed = 0;
  std::multiset<void*> deleted;
  std::map<std::uint32_t, int> renders;
  int nativeCalls = 0;
  NativeTextRequest lastNative;

  void FontCreated() override { ++fontsCreated; }
  void FontDestroyed() override { ++fontsDestroyed; }
  void DeleteFont(void* font) override { deleted.insert(font); }
  int LineHeight(void*) override { return lineHeight; }
  bool NativeDrawingAllowed() override { return nativeAllowed; }
  int DrawNative(const NativeTextRequest& request) override {
    ++nativeCalls;
    lastNative = request;
    return nativeResult;
  }

  bool RenderGlyph(void*, std::uint32_t code, int height, int margin, GlyphImage* out) override {
    ++renders[code];
    if (code == 'x') return false;
    const int advance = code == ' ' ? 3 : code < 128 ? 5 : 6;
    const int width = advance + 2 * margin;
    bitmap_.Resize(width + 8, height + 8);
    for (int y = 0; y < bitmap_.Height(); ++y)
      for (int x = 0; x < bitmap_.Width(); ++x)
        Set(x, y, 0);
    switch (code) {
    case ' ':
      break;
    case 'h':
      Block(margin, 2, 4, 6, 128);
      break;
    case 'I':
      Block(margin - 1, 0, 3, height, 255);
      break;
    case 'm':
      Set(margin, 0, 130);
      Set(margin + 1, 0, 131);
      break;
    case 'o':
      Set(margin + 1, 1, 255);
      break;
    default:
      Block(margin, 2, code < 128 ? 4 : 5, 6, 255);
    }
    out->bitmap = &bitmap_;
    out->width = width;
    out->height = height;
    out->advance = advance;
    return true;
  }

private:
  void Set(int x, int y, std::uint32_t v) {
    bitmap_.Pixels()[y * bitmap_.RowStride() + x] = 0xFF000000u | v << 16 | v << 8 | v;
  }
  void Block(int x, int y, int w, int h, std::uint32_t v) {
    for (int j = y; j < y + h; ++j)
      for (int i = x; i < x + w; ++i)
        Set(i, j, v);
  }

  HeapBitmap bitmap_{1, 1, 4};
};

} // namespace quorvane::test
