#pragma once
// A text renderer for the editor tests: it draws every text it is asked to
// draw natively as a filled box of the ink colour over the rectangle's text
// line, and records the request. Glyph rendering (the cache path used for
// translucent text) is refused, so such text draws nothing but is recorded
// as refused.

#include "raster/GlyphSource.h"
#include "raster/Rect.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quorvane::test {

struct TextRequest {
  std::string text;
  Rect rect;
  std::uint32_t format;
  std::uint32_t ink;
};

class RecordingGlyphSource final : public GlyphSource {
public:
  static constexpr int kLineHeight = 10;

  // Lives for the whole process: the fonts that use it stay in the
  // process-wide font cache until exit.
  static RecordingGlyphSource& Instance();

  void FontCreated() override {}
  void FontDestroyed() override {}
  void DeleteFont(void*) override {}
  int LineHeight(void*) override { return kLineHeight; }
  bool RenderGlyph(void*, std::uint32_t, int, int, GlyphImage*) override;
  bool NativeDrawingAllowed() override { return true; }
  int DrawNative(const NativeTextRequest& request) override;

  std::vector<TextRequest> drawn;
  int refusedGlyphs = 0;
};

} // namespace quorvane::test
