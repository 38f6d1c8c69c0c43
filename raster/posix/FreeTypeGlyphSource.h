#pragma once
// FreeType as the glyph source of GlyphFont on Linux: the fonts are the
// faces built into the library, sized so that a font's line height is the
// requested pixel height (as a Windows font of that height has), and each
// character is drawn white on black, anti-aliased, into a shared canvas
// that exists while any font lives. Text always goes through the glyph
// cache; there is no native drawing. Editor window thread (the X11 windows
// of one process take turns).

#include "raster/GlyphSource.h"

#include <memory>
#include <mutex>

namespace quorvane {

class HeapBitmap;

class FreeTypeGlyphSource final : public GlyphSource {
public:
  FreeTypeGlyphSource();
  ~FreeTypeGlyphSource() override;

  // A font whose lines are `pixelHeight` pixels apart (a negative height
  // asks for that character height instead, as on Windows); null when
  // FreeType cannot make it. Owned by the caller until DeleteFont.
  void* CreateFont(int pixelHeight, bool bold, bool italic);

  void FontCreated() override;
  void FontDestroyed() override;
  void DeleteFont(void* font) override;
  int LineHeight(void* font) override;
  bool RenderGlyph(void* font, std::uint32_t code, int lineHeight, int margin,
                   GlyphImage* out) override;
  bool NativeDrawingAllowed() override { return false; }
  int DrawNative(const NativeTextRequest&) override { return 0; }

private:
  struct Library;

  HeapBitmap* Canvas(int size);
  // The process's source goes once it has neither fonts nor faces.
  void ReleaseIfUnused();
  friend FreeTypeGlyphSource* ProcessFreeTypeSource();

  std::unique_ptr<Library> library_;
  // Faces are created and released by whichever thread builds a font.
  std::mutex facesLock_;
  int liveFaces_ = 0;
  int liveFonts_ = 0;
  std::unique_ptr<HeapBitmap> canvas_;
  bool releaseWhenUnused_ = false;
};

// The process's source, as DefaultGlyphSource() answers it: made on first
// use, gone with the last font made from it. Ask again rather than keep it.
FreeTypeGlyphSource* ProcessFreeTypeSource();

} // namespace quorvane
