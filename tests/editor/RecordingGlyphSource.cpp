#include "tests/editor/RecordingGlyphSource.h"

#include "raster/FillRectangle.h"

namespace quorvane::test {

RecordingGlyphSource& RecordingGlyphSource::Instance() {
  static RecordingGlyphSource* source = new RecordingGlyphSource;
  return *source;
}

bool RecordingGlyphSource::RenderGlyph(void*, std::uint32_t, int, int, GlyphImage*) {
  ++refusedGlyphs;
  return false;
}

int RecordingGlyphSource::DrawNative(const NativeTextRequest& request) {
  const Rect rect = request.rect ? *request.rect : Rect{};
  drawn.push_back({std::string(request.text, static_cast<std::size_t>(request.length)), rect,
                   request.format, request.ink});
  FillRectangle(request.dest, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                request.ink | 0xFF000000u, 1.0f, kBlendCopy);
  return rect.bottom - rect.top;
}

} // namespace quorvane::test
