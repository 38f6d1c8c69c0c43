// The editor's text on Linux: FreeType glyphs through the glyph cache, drawn
// the way the editor draws its value texts (white, no clipping).

#include "raster/FillRectangle.h"
#include "raster/GlyphFont.h"
#include "raster/posix/FreeTypeGlyphSource.h"
#include "tests/raster/TestBitmaps.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace quorvane {
namespace {

using test::At;

constexpr int kWidth = 200;
constexpr int kHeight = 40;

struct InkBox {
  int left = -1, top = -1, right = -1, bottom = -1;
  int pixels = 0;
};

InkBox InkOf(const RasterBitmap& b, std::uint32_t paper = 0xFF000000) {
  InkBox box;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) {
      if (At(b, x, y) == paper) continue;
      if (box.pixels++ == 0) box = {x, y, x + 1, y + 1, 1};
      box.left = std::min(box.left, x);
      box.right = std::max(box.right, x + 1);
      box.bottom = y + 1;
    }
  return box;
}

std::vector<std::uint32_t> Snapshot(const RasterBitmap& b) {
  std::vector<std::uint32_t> pixels;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      pixels.push_back(At(b, x, y));
  return pixels;
}

class FreeTypeText : public ::testing::Test {
protected:
  void SetUp() override {
    font = MakeFont(14);
    ASSERT_NE(font, nullptr);
    Clear(0xFF000000);
  }

  std::unique_ptr<GlyphFont> MakeFont(int size, bool bold = false, bool italic = false) {
    void* handle = source.CreateFont(size, bold, italic);
    if (handle == nullptr) return nullptr;
    auto made = std::make_unique<GlyphFont>(&source);
    made->AdoptFontHandle(handle, GlyphFont::kOwnsHandle);
    made->SetInkColour(0xFFFFFFFF);
    return made;
  }

  void Clear(std::uint32_t colour) {
    FillRectangle(dest.get(), 0, 0, kWidth, kHeight, colour, 1.0f, kBlendCopy);
  }

  int MeasureWidth(const char* text, std::uint32_t format = GlyphFont::kSingleLine) {
    Rect rect{3, 4, 3, 4};
    font->RenderTextInRect(dest.get(), text, -1, &rect, format | GlyphFont::kMeasureOnly);
    return rect.right - rect.left;
  }

  int Draw(GlyphFont& with, const char* text, Rect rect,
           std::uint32_t format = GlyphFont::kNoClip) {
    return with.RenderTextInRect(dest.get(), text, -1, &rect, format);
  }

  FreeTypeGlyphSource source;
  std::unique_ptr<HeapBitmap> dest = test::Filled(kWidth, kHeight, 0xFF000000);
  std::unique_ptr<GlyphFont> font;
};

TEST_F(FreeTypeText, LinesAreAsTallAsTheRequestedHeight) {
  for (int size : {9, 14, 24, 36}) {
    SCOPED_TRACE(size);
    const std::unique_ptr<GlyphFont> sized = MakeFont(size);
    ASSERT_NE(sized, nullptr);
    EXPECT_EQ(sized->LineHeight(), size);
    Clear(0xFF000000);
    EXPECT_EQ(Draw(*sized, "Hg", {0, 0, kWidth, kHeight}), size);
    const InkBox ink = InkOf(*dest);
    EXPECT_GE(ink.top, 0);
    EXPECT_LE(ink.bottom, size + 1); // a descender reaches the foot of the line
    EXPECT_GT(ink.bottom - ink.top, size / 2);
  }
  // A negative height is the character's height: the line is taller.
  const std::unique_ptr<GlyphFont> em = MakeFont(-14);
  ASSERT_NE(em, nullptr);
  EXPECT_GT(em->LineHeight(), 14);
  EXPECT_EQ(MakeFont(1 << 20), nullptr);
}

TEST_F(FreeTypeText, AlignmentPlacesTheInkInTheRectangle) {
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
    EXPECT_EQ(Draw(*font, text, rect, GlyphFont::kNoClip | alignments[i]), font->LineHeight());
    ink[i] = InkOf(*dest);
    ASSERT_GE(ink[i].left, rect.left);
    EXPECT_LE(ink[i].right, rect.right);
    EXPECT_GE(ink[i].top, rect.top);
    EXPECT_LE(ink[i].bottom, rect.top + font->LineHeight());
  }
  EXPECT_NEAR(ink[0].left, rect.left, 2);
  EXPECT_NEAR(ink[1].left + ink[1].right, rect.left + rect.right, 3);
  EXPECT_NEAR(ink[2].right, rect.right, 2);
  const int freeSpace = (rect.right - rect.left) - textWidth;
  EXPECT_EQ(ink[0].right - ink[0].left, ink[2].right - ink[2].left);
  EXPECT_EQ(ink[2].left - ink[0].left, freeSpace);
  EXPECT_EQ(ink[1].left - ink[0].left, freeSpace / 2);
}

TEST_F(FreeTypeText, MeasuringAddsTheGlyphAdvances) {
  for (const char* text : {"Quorvane", "-12.0 dB", "W i l", "\xC3\xA4\xE2\x82\xAC x"}) {
    SCOPED_TRACE(text);
    int advances = 0;
    for (const char* p = text; *p != 0;) {
      const auto lead = std::uint8_t(*p);
      const int bytes = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : 3;
      std::uint32_t code = bytes == 1 ? lead : bytes == 2 ? lead & 0x1Fu : lead & 0x0Fu;
      for (int i = 1; i < bytes; ++i)
        code = code << 6 | (std::uint8_t(p[i]) & 0x3Fu);
      p += bytes;
      ASSERT_NE(font->Glyph(code), nullptr);
      advances += font->Glyph(code)->advance;
    }
    EXPECT_EQ(MeasureWidth(text), advances);
  }
  // Proportional: a W is wider than an i; a space has no pixels but moves on.
  EXPECT_GT(font->Glyph('W')->advance, font->Glyph('i')->advance);
  EXPECT_FALSE(font->Glyph(' ')->HasPixels());
  EXPECT_GT(font->Glyph(' ')->advance, 0);

  Rect rect{0, 0, 0, 0};
  EXPECT_EQ(font->RenderTextInRect(nullptr, "ab\ncd", -1, &rect, GlyphFont::kMeasureOnly),
            2 * font->LineHeight());
  EXPECT_EQ(rect.right, std::max(MeasureWidth("ab"), MeasureWidth("cd")));
}

TEST_F(FreeTypeText, WeightAndAlphaScaleTheInk) {
  struct Case {
    std::uint32_t ink;
    float weight;
    std::uint32_t format;
    int expectedMax; // brightest channel value drawn
  };
  const Case cases[] = {
      {0xFFFFFFFF, 1.0f, GlyphFont::kNoClip, 255},
      {0xFFFFFFFF, 0.5f, GlyphFont::kNoClip, 128},
      {0xC8FFFFFF, 1.0f, GlyphFont::kNoClip | GlyphFont::kBlendTextAlpha, 200},
      {0xFFFFFFFF, 0.0f, GlyphFont::kNoClip, 0},
      {0x00FFFFFF, 1.0f, GlyphFont::kNoClip | GlyphFont::kBlendTextAlpha, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expectedMax);
    Clear(0xFF000000);
    font->SetInkColour(c.ink);
    font->SetBlendMode(kBlendCopy, c.weight);
    const int drawn = Draw(*font, "Quorvane", {0, 0, kWidth, kHeight}, c.format);
    EXPECT_EQ(drawn, c.expectedMax == 0 ? 0 : font->LineHeight());
    int brightest = 0;
    for (std::uint32_t p : Snapshot(*dest))
      brightest = std::max(brightest, int(p & 0xFF));
    EXPECT_NEAR(brightest, c.expectedMax, 2);
  }
}

TEST_F(FreeTypeText, BoldAndItalicChangeTheInkNotTheLine) {
  Draw(*font, "Quorvane", {0, 0, kWidth, kHeight});
  const InkBox regular = InkOf(*dest);
  const std::unique_ptr<GlyphFont> bold = MakeFont(14, true, false);
  const std::unique_ptr<GlyphFont> italic = MakeFont(14, false, true);
  ASSERT_NE(bold, nullptr);
  ASSERT_NE(italic, nullptr);
  EXPECT_EQ(bold->LineHeight(), 14);

  Clear(0xFF000000);
  Draw(*bold, "Quorvane", {0, 0, kWidth, kHeight});
  const InkBox heavy = InkOf(*dest);
  EXPECT_GT(heavy.right - heavy.left, regular.right - regular.left);
  int regularSum = 0, boldSum = 0;
  Clear(0xFF000000);
  Draw(*font, "l", {0, 0, kWidth, kHeight});
  for (std::uint32_t p : Snapshot(*dest))
    regularSum += int(p & 0xFF);
  Clear(0xFF000000);
  Draw(*bold, "l", {0, 0, kWidth, kHeight});
  for (std::uint32_t p : Snapshot(*dest))
    boldSum += int(p & 0xFF);
  EXPECT_GT(boldSum, regularSum * 5 / 4);

  // Slanted: the top of an upright stroke lies right of its foot.
  Clear(0xFF000000);
  Draw(*italic, "l", {10, 0, kWidth, kHeight});
  const InkBox slanted = InkOf(*dest);
  auto firstInkIn = [&](int y) {
    for (int x = 0; x < kWidth; ++x)
      if (At(*dest, x, y) != 0xFF000000) return x;
    return -1;
  };
  EXPECT_GT(firstInkIn(slanted.top + 1), firstInkIn(slanted.bottom - 2));
}

} // namespace
} // namespace quorvane
