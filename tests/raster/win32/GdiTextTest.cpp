#include "raster/FillRectangle.h"
#include "raster/GlyphFont.h"
#include "raster/HeapBitmap.h"
#include "raster/win32/DibBitmap.h"
#include "raster/win32/GdiGlyphSource.h"
#include "raster/win32/WineDetect.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace quorvane {
namespace {

constexpr int kEditorFlags = GlyphFont::kOwnsHandle | GlyphFont::kNativeAllowed;

void* MakeFont(int height) {
  return CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, 0, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Arial");
}

// Pixels whose colour differs from black, inside [x0, x1) x [y0, y1).
int Inked(const RasterBitmap& b, int x0 = 0, int y0 = 0, int x1 = -1, int y1 = -1) {
  if (x1 < 0) x1 = b.Width();
  if (y1 < 0) y1 = b.Height();
  int n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x)
      n += (b.Pixels()[y * b.RowStride() + x] & 0xFFFFFF) != 0;
  return n;
}

// Forwards to the platform source and counts which way text went.
class CountingSource final : public GlyphSource {
public:
  void FontCreated() override { inner->FontCreated(); }
  void FontDestroyed() override { inner->FontDestroyed(); }
  void DeleteFont(void* font) override { inner->DeleteFont(font); }
  int LineHeight(void* font) override { return inner->LineHeight(font); }
  bool RenderGlyph(void* font, std::uint32_t code, int height, int margin,
                   GlyphImage* out) override {
    ++glyphs;
    return inner->RenderGlyph(font, code, height, margin, out);
  }
  bool NativeDrawingAllowed() override { return inner->NativeDrawingAllowed(); }
  int DrawNative(const NativeTextRequest& request) override {
    ++native;
    return inner->DrawNative(request);
  }

  GlyphSource* inner = DefaultGlyphSource();
  int glyphs = 0;
  int native = 0;
};

class GdiText : public ::testing::Test {
protected:
  void SetUp() override {
    dest.Resize(120, 40);
    FillRectangle(&dest, 0, 0, 120, 40, 0xFF000000, 1.0f, kBlendCopy);
  }
  DibBitmap dest{1, 1};
  HeapBitmap heap{120, 40, 4};
};

TEST_F(GdiText, EditorTextReachesTheBackBuffer) {
  CountingSource source;
  GlyphFont font(&source);
  void* handle = MakeFont(14);
  ASSERT_NE(handle, nullptr);
  font.AdoptFontHandle(handle, kEditorFlags);
  EXPECT_GT(font.LineHeight(), 0);
  font.SetInkColour(0xFFFFFFFF);
  Rect rect{0, 0, 120, 40};
  EXPECT_GT(font.RenderTextInRect(&dest, "Quorvane 1.5 kHz", -1, &rect, 0x100), 0);
  EXPECT_GT(Inked(dest), 20);
  // Under Wine the same text comes from the glyph cache.
  if (IsRunningUnderWine()) {
    EXPECT_EQ(source.native, 0);
    EXPECT_GT(source.glyphs, 5);
  } else {
    EXPECT_EQ(source.native, 1);
  }
}

TEST_F(GdiText, TranslucentTextAlwaysUsesTheCache) {
  CountingSource source;
  GlyphFont font(&source);
  font.AdoptFontHandle(MakeFont(14), kEditorFlags);
  font.SetInkColour(0xC8FFFFFF);
  Rect rect{0, 0, 120, 40};
  font.RenderTextInRect(&dest, "-12.0 dB", -1, &rect, 0x40000101);
  EXPECT_EQ(source.native, 0);
  EXPECT_GT(Inked(dest), 10);
  ASSERT_NE(font.Glyph('2'), nullptr);
  EXPECT_TRUE(font.Glyph('2')->HasPixels());
  EXPECT_FALSE(font.Glyph(' ')->HasPixels());
  EXPECT_GT(font.Glyph(' ')->advance, 0);

  // A non-ASCII glyph rendered through GDI.
  font.RenderTextInRect(&dest, "\xC3\xA4", -1, &rect, 0x40000100);
  ASSERT_NE(font.Glyph(0xE4), nullptr);
  EXPECT_TRUE(font.Glyph(0xE4)->HasPixels());
}

TEST_F(GdiText, NativeDrawingIntoAContextAndIntoPlainMemory) {
  GdiGlyphSource source;
  GlyphFont font(&source); // keeps the shared surfaces alive
  HFONT handle = static_cast<HFONT>(MakeFont(16));
  font.AdoptFontHandle(handle, kEditorFlags);

  Rect rect{0, 0, 120, 40};
  NativeTextRequest request;
  request.font = handle;
  request.dest = &dest;
  request.text = "Native";
  request.length = 6;
  request.rect = &rect;
  request.format = DT_NOCLIP;
  request.ink = 0xFFFFFFFF;
  request.paperMode = GlyphFont::kPaperTransparent;
  EXPECT_GT(source.DrawNative(request), 0);
  EXPECT_GT(Inked(dest), 20);

  Rect measured{5, 5, 5, 5};
  request.rect = &measured;
  request.format = DT_CALCRECT | DT_SINGLELINE;
  EXPECT_GT(source.DrawNative(request), 0);
  EXPECT_GT(measured.right, 5 + 20);
  EXPECT_GT(measured.bottom, 5 + 8);
  const int textWidth = measured.right - measured.left;

  // A bitmap without a device context: drawn through the shared DIB, centred
  // and clipped to the rectangle.
  FillRectangle(&heap, 0, 0, 120, 40, 0xFF000000, 1.0f, kBlendCopy);
  Rect box{10, 5, 110, 35};
  request.dest = &heap;
  request.rect = &box;
  request.format = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
  EXPECT_GT(source.DrawNative(request), 0);
  EXPECT_GT(Inked(heap, 10, 5, 110, 35), 20);
  EXPECT_EQ(Inked(heap) - Inked(heap, 10, 5, 110, 35), 0);
  const int left = 10 + (100 - textWidth) / 2;
  EXPECT_EQ(Inked(heap, 0, 0, left - 1, 40), 0);

  // UTF-8 text, long text past the local buffer, and bytes that are not UTF-8.
  FillRectangle(&heap, 0, 0, 120, 40, 0xFF000000, 1.0f, kBlendCopy);
  Rect all{0, 0, 120, 40};
  request.rect = &all;
  request.format = DT_NOCLIP;
  request.text = "\xE2\x82\xAC\xC3\xA4";
  request.length = 5;
  EXPECT_GT(source.DrawNative(request), 0);
  std::string longText;
  for (int i = 0; i < 1200; ++i)
    longText += "\xC3\xA4";
  request.text = longText.c_str();
  request.length = int(longText.size());
  EXPECT_GT(source.DrawNative(request), 0);
  request.text = "\xC3(bad";
  request.length = 5;
  EXPECT_GT(source.DrawNative(request), 0);
  EXPECT_GT(Inked(heap), 20);
}

TEST_F(GdiText, SharedSurfacesLiveAsLongAsAFont) {
  GdiGlyphSource source;
  {
    GlyphFont font(&source);
    font.AdoptFontHandle(MakeFont(12), kEditorFlags);
    font.SetInkColour(0x80FFFFFF);
    Rect rect{0, 0, 120, 40};
    font.RenderTextInRect(&dest, "abc", -1, &rect, 0x40000000);
    EXPECT_TRUE(source.HasSharedBitmaps());
  }
  EXPECT_FALSE(source.HasSharedBitmaps());
}

} // namespace
} // namespace quorvane
