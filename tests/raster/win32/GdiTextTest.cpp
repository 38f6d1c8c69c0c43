#include "raster/FillRectangle.h"
#include "raster/GlyphFont.h"
#include "raster/HeapBitmap.h"
#include "raster/PngFileWriter.h"
#include "raster/Utf8Decode.h"
#include "raster/win32/DibBitmap.h"
#include "raster/win32/GdiGlyphSource.h"
#include "raster/win32/WineDetect.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

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

// The editor's text in the editor's font and format: Arial 14, white, opaque.
// Under Wine this goes through the glyph cache (the editor's own call, no
// forcing); on Windows GDI draws it into the DIB's context directly.
class EditorText : public ::testing::Test {
protected:
  static constexpr int kWidth = 200;
  static constexpr int kHeight = 40;
  static constexpr std::uint32_t kEditorFormat = GlyphFont::kNoClip;

  void SetUp() override {
    dest.Resize(kWidth, kHeight);
    Clear(0xFF000000);
    font.AdoptFontHandle(MakeFont(14), kEditorFlags);
    ASSERT_NE(font.FontHandle(), nullptr);
    ASSERT_GT(font.LineHeight(), 0);
    font.SetInkColour(0xFFFFFFFF);
  }

  void Clear(std::uint32_t colour) {
    FillRectangle(&dest, 0, 0, kWidth, kHeight, colour, 1.0f, kBlendCopy);
  }

  std::vector<std::uint32_t> Snapshot() const {
    std::vector<std::uint32_t> pixels;
    for (int y = 0; y < kHeight; ++y)
      pixels.insert(pixels.end(), dest.Pixels() + y * dest.RowStride(),
                    dest.Pixels() + y * dest.RowStride() + kWidth);
    return pixels;
  }

  // Checks that only depend on how the cache works are made on the path the
  // editor takes under Wine; on Windows the same call would go to GDI, so the
  // cache is asked for explicitly there.
  static std::uint32_t CachePath(std::uint32_t format) {
    return IsRunningUnderWine() ? format : format | GlyphFont::kForceCache;
  }

  int MeasureWidth(const char* text, std::uint32_t format = GlyphFont::kSingleLine) {
    Rect rect{3, 4, 3, 4};
    font.RenderTextInRect(&dest, text, -1, &rect, format | GlyphFont::kMeasureOnly);
    return rect.right - rect.left;
  }

  CountingSource source;
  GlyphFont font{&source};
  DibBitmap dest{1, 1};
};

// Columns [left, right) and rows [top, bottom) holding any ink; all -1 when
// nothing was drawn.
struct InkBox {
  int left = -1, top = -1, right = -1, bottom = -1;
};

InkBox InkExtent(const RasterBitmap& b) {
  InkBox box;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) {
      if ((b.Pixels()[y * b.RowStride() + x] & 0xFFFFFF) == 0) continue;
      if (box.left < 0) box = {x, y, x + 1, y + 1};
      box.left = std::min(box.left, x);
      box.right = std::max(box.right, x + 1);
      box.bottom = y + 1;
    }
  return box;
}

TEST_F(EditorText, AlignmentPlacesTheInkInTheRectangle) {
  const char* text = "Quorvane 1.5 kHz";
  const Rect rect{20, 8, 180, 34};
  const int textWidth = MeasureWidth(text);
  ASSERT_GT(textWidth, 60);
  ASSERT_LT(textWidth, rect.right - rect.left);

  InkBox ink[3];
  const std::uint32_t alignments[3] = {0, GlyphFont::kCentre, GlyphFont::kRight};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    Clear(0xFF000000);
    Rect r = rect;
    EXPECT_EQ(font.RenderTextInRect(&dest, text, -1, &r, kEditorFormat | alignments[i]),
              font.LineHeight());
    ink[i] = InkExtent(dest);
    ASSERT_GE(ink[i].left, 0);
    EXPECT_EQ(Inked(dest) - Inked(dest, rect.left, rect.top, rect.right, rect.bottom), 0);
    EXPECT_GE(ink[i].top, rect.top);
    EXPECT_LE(ink[i].bottom, rect.top + font.LineHeight());
  }
  if (IsRunningUnderWine()) {
    EXPECT_EQ(source.native, 0);
  }

  // Left: the first letter's side bearing is all there is between edge and ink.
  EXPECT_NEAR(ink[0].left, rect.left, 2);
  // Centre: the ink's middle is the rectangle's middle.
  EXPECT_NEAR(ink[1].left + ink[1].right, rect.left + rect.right, 3);
  // Right: the last letter ends at the right edge.
  EXPECT_NEAR(ink[2].right, rect.right, 2);

  // The same line each time, only shifted by the free space (or half of it).
  const int freeSpace = (rect.right - rect.left) - textWidth;
  EXPECT_EQ(ink[0].right - ink[0].left, ink[1].right - ink[1].left);
  EXPECT_EQ(ink[0].right - ink[0].left, ink[2].right - ink[2].left);
  EXPECT_NEAR(ink[1].left - ink[0].left, freeSpace / 2, 1);
  EXPECT_NEAR(ink[2].left - ink[0].left, freeSpace, 1);
}

TEST_F(EditorText, MeasuringGivesTheGlyphAdvances) {
  HDC dc = static_cast<HDC>(dest.DeviceContext());
  ASSERT_NE(dc, nullptr);
  const char* texts[] = {"Quorvane", "-12.0 dB", "1.5 kHz", "W i l", "\xC3\xA4\xE2\x82\xAC x"};
  for (const char* text : texts) {
    SCOPED_TRACE(text);
    Rect rect{3, 4, 3, 4};
    EXPECT_EQ(font.RenderTextInRect(&dest, text, -1, &rect,
                                    GlyphFont::kMeasureOnly | GlyphFont::kSingleLine),
              font.LineHeight());
    EXPECT_EQ(rect.left, 3);
    EXPECT_EQ(rect.top, 4);
    EXPECT_EQ(rect.bottom - rect.top, font.LineHeight());
    const int width = rect.right - rect.left;

    // GDI's own extent of the same string in the same font.
    std::wstring wide;
    int advances = 0;
    for (int i = 0; text[i] != 0;) {
      const Utf8Char c = Utf8Decode(text + i, int(std::strlen(text + i)));
      i += c.length;
      wide += wchar_t(c.code);
      if (const GlyphRecord* glyph = font.Glyph(c.code)) advances += glyph->advance;
    }
    HGDIOBJ previous = SelectObject(dc, static_cast<HFONT>(font.FontHandle()));
    SIZE extent = {};
    ASSERT_TRUE(GetTextExtentPoint32W(dc, wide.c_str(), int(wide.size()), &extent));
    SelectObject(dc, previous);
    EXPECT_NEAR(width, extent.cx, 1);
    // Under Wine the width is the sum of what the cache records per glyph.
    if (IsRunningUnderWine()) {
      EXPECT_EQ(width, advances);
    }
  }
  if (IsRunningUnderWine()) {
    EXPECT_EQ(source.native, 0);
  }

  // Without a destination the cache still measures.
  Rect rect{0, 0, 0, 0};
  EXPECT_EQ(font.RenderTextInRect(nullptr, "ab\ncd", -1, &rect, CachePath(GlyphFont::kMeasureOnly)),
            2 * font.LineHeight());
  EXPECT_EQ(rect.right, std::max(MeasureWidth("ab"), MeasureWidth("cd")));
  EXPECT_EQ(rect.bottom, 2 * font.LineHeight());
}

TEST_F(EditorText, LineFeedOnASingleLineDrawsASpace) {
  const std::uint32_t format = CachePath(kEditorFormat | GlyphFont::kSingleLine);
  Rect rect{10, 5, 190, 35};
  EXPECT_GT(font.RenderTextInRect(&dest, "1.5 kHz", -1, &rect, format), 0);
  const std::vector<std::uint32_t> withSpace = Snapshot();
  ASSERT_GT(Inked(dest), 20);

  Clear(0xFF000000);
  rect = {10, 5, 190, 35};
  EXPECT_GT(font.RenderTextInRect(&dest, "1.5\nkHz", -1, &rect, format), 0);
  EXPECT_TRUE(Snapshot() == withSpace);
  EXPECT_EQ(MeasureWidth("1.5\nkHz", format), MeasureWidth("1.5 kHz", format));

  // Without the bit the same text breaks: the second line lies lower.
  Clear(0xFF000000);
  rect = {10, 5, 190, 35};
  font.RenderTextInRect(&dest, "1.5\nkHz", -1, &rect, CachePath(kEditorFormat));
  EXPECT_GT(InkExtent(dest).bottom, 5 + font.LineHeight());
  EXPECT_EQ(source.native, 0);
}

TEST_F(EditorText, WeightZeroLeavesTheDestinationAlone) {
  Clear(0xFF203040);
  const std::vector<std::uint32_t> before = Snapshot();
  Rect rect{0, 0, kWidth, kHeight};

  font.SetBlendMode(kBlendCopy, 0.0f);
  EXPECT_EQ(font.RenderTextInRect(&dest, "Quorvane", -1, &rect, CachePath(kEditorFormat)), 0);
  EXPECT_TRUE(Snapshot() == before);

  // Fully transparent text blended by its alpha is weight 0 as well.
  font.SetBlendMode(kBlendCopy, 1.0f);
  font.SetInkColour(0x00FFFFFF);
  EXPECT_EQ(font.RenderTextInRect(&dest, "Quorvane", -1, &rect,
                                  kEditorFormat | GlyphFont::kBlendTextAlpha),
            0);
  EXPECT_TRUE(Snapshot() == before);
  EXPECT_EQ(source.native, 0);

  // The same call with ink does draw, and the weight is back to 1.
  font.SetInkColour(0xFFFFFFFF);
  EXPECT_GT(font.RenderTextInRect(&dest, "Quorvane", -1, &rect, CachePath(kEditorFormat)), 0);
  EXPECT_FALSE(Snapshot() == before);
}

// A picture of the editor's text for a person to look at: the three
// alignments in framed boxes, translucent text, and non-ASCII text.
TEST(TextPicture, IsSavedAsPng) {
  constexpr int kW = 240, kH = 150;
  DibBitmap picture(kW, kH);
  ASSERT_NE(picture.Pixels(), nullptr);
  FillRectangle(&picture, 0, 0, kW, kH, 0xFF202428, 1.0f, kBlendCopy);
  GlyphFont font;
  font.AdoptFontHandle(MakeFont(14), kEditorFlags);
  const int line = font.LineHeight();
  ASSERT_GT(line, 0);

  const std::uint32_t alignments[3] = {0, GlyphFont::kCentre, GlyphFont::kRight};
  const char* labels[3] = {"left 1.5 kHz", "centre -12.0 dB", "right 100 %"};
  for (int i = 0; i < 3; ++i) {
    Rect box{10, 8 + i * (line + 8), kW - 10, 8 + i * (line + 8) + line};
    FillRectangle(&picture, box.left, box.top, box.right - box.left, box.bottom - box.top,
                  0xFF304050, 1.0f, kBlendCopy);
    font.SetInkColour(0xFFFFFFFF);
    font.RenderTextInRect(&picture, labels[i], -1, &box, GlyphFont::kNoClip | alignments[i]);
  }
  Rect box{10, 8 + 3 * (line + 8), kW - 10, kH};
  font.SetInkColour(0x80FFC040);
  font.RenderTextInRect(&picture, "translucent Quorvane", -1, &box,
                        GlyphFont::kNoClip | GlyphFont::kBlendTextAlpha);
  box.top += line + 4;
  font.SetInkColour(0xFF80FF80);
  font.RenderTextInRect(&picture, "\xC3\xA4 \xC3\xB6 \xC3\xBC \xE2\x82\xAC 3\xC2\xB0", -1, &box,
                        GlyphFont::kNoClip);

  ASSERT_TRUE(WritePngFile(QUORVANE_TEXT_PNG, picture.Pixels(), kW, kH, picture.RowStride()));
  std::FILE* file = std::fopen(QUORVANE_TEXT_PNG, "rb");
  ASSERT_NE(file, nullptr);
  std::fseek(file, 0, SEEK_END);
  EXPECT_GT(std::ftell(file), 100);
  std::fclose(file);
}

} // namespace
} // namespace quorvane
