#include "raster/GlyphSource.h"

namespace quorvane {
namespace {

// Without a platform text renderer fonts have no glyphs: text measures as
// empty and draws nothing.
class NullGlyphSource final : public GlyphSource {
public:
  void FontCreated() override {}
  void FontDestroyed() override {}
  void DeleteFont(void*) override {}
  int LineHeight(void*) override { return 0; }
  bool RenderGlyph(void*, std::uint32_t, int, int, GlyphImage*) override { return false; }
  bool NativeDrawingAllowed() override { return false; }
  int DrawNative(const NativeTextRequest&) override { return 0; }
};

} // namespace

GlyphSource* DefaultGlyphSource() {
  static NullGlyphSource source;
  return &source;
}

} // namespace quorvane
