#pragma once
// GDI as the glyph source of GlyphFont: metrics through GetTextMetrics,
// characters drawn white on black into a shared DIB, and native text drawing
// into a bitmap's device context (or, for bitmaps without one, through a
// small shared DIB). The shared DIBs exist while any font lives. Windows
// only; editor window thread.

#include "raster/GlyphSource.h"

#include <memory>

namespace quorvane {

class DibBitmap;

class GdiGlyphSource final : public GlyphSource {
public:
  GdiGlyphSource();
  ~GdiGlyphSource() override;

  void FontCreated() override;
  void FontDestroyed() override;
  void DeleteFont(void* font) override;
  int LineHeight(void* font) override;
  bool RenderGlyph(void* font, std::uint32_t code, int lineHeight, int margin,
                   GlyphImage* out) override;
  bool NativeDrawingAllowed() override;
  int DrawNative(const NativeTextRequest& request) override;

  bool HasSharedBitmaps() const;

private:
  DibBitmap* GlyphCanvas(int size);
  DibBitmap* SmallCanvas(int width, int height);

  int liveFonts_ = 0;
  std::unique_ptr<DibBitmap> glyphCanvas_;
  std::unique_ptr<DibBitmap> smallCanvas_;
};

} // namespace quorvane
