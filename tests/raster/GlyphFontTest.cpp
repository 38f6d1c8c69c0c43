#include "raster/GlyphFont.h"

#include "tests/raster/FakeGlyphSource.h"
#include "tests/raster/TestBitmaps.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace quorvane {
namespace {

using test::At;
using test::Filled;

constexpr std::uint32_t kBlack = 0xFF000000;
constexpr std::uint32_t kRed = 0xFFFF0000;
constexpr std::uint32_t kPlain = 0x100;        // no clipping, opaque text
constexpr std::uint32_t kBlended = 0x40000100; // blended with the text alpha
void* const kHandle = reinterpret_cast<void*>(0x1234);

class GlyphFontTest : public ::testing::Test {
protected:
  void SetUp() override {
    font.AdoptFontHandle(kHandle, GlyphFont::kOwnsHandle | GlyphFont::kNativeAllowed);
    font.SetInkColour(kRed);
  }

  int Draw(const char* text, Rect rect, std::uint32_t format = kPlain) {
    return font.RenderTextInRect(dest.get(), text, -1, &rect, format);
  }

  // Every pixel inside [x0, x1) x [y0, y1) equals `inside`, every other
  // pixel is still black.
  void ExpectOnly(int x0, int y0, int x1, int y1, std::uint32_t inside) {
    for (int y = 0; y < dest->Height(); ++y)
      for (int x = 0; x < dest->Width(); ++x) {
        const bool in = x >= x0 && x < x1 && y >= y0 && y < y1;
        ASSERT_EQ(At(*dest, x, y), in ? inside : kBlack) << x << "," << y;
      }
  }

  test::FakeGlyphSource source;
  GlyphFont font{&source};
  std::unique_ptr<HeapBitmap> dest = Filled(20, 30, kBlack);
};

TEST_F(GlyphFontTest, CacheDrawsAGlyphAtThePenInTheInkColour) {
  EXPECT_EQ(font.LineHeight(), 10);
  EXPECT_EQ(Draw("A", Rect{3, 1, 20, 30}), 10);
  // The 4 x 6 block sits 2 rows below the line's top.
  ExpectOnly(3, 3, 7, 9, kRed);
  EXPECT_EQ(source.nativeCalls, 0);
}

TEST_F(GlyphFontTest, PartialCoverageBlendsTowardTheInk) {
  Draw("h", Rect{0, 0, 20, 30});
  // v = 128: red 255 + (0 - 255) * 127 / 256 = 129, alpha stays 255.
  ExpectOnly(0, 2, 4, 8, 0xFF810000);
}

TEST_F(GlyphFontTest, BlendedTextUsesTheInkAlpha) {
  font.SetInkColour(0x80FF0000);
  Draw("A", Rect{0, 0, 20, 30}, kBlended);
  // weight 128 / 255 -> w = 128; per pixel min(256, 128 * 255 / 256) = 127.
  ExpectOnly(0, 2, 4, 8, 0xFF7F0000);
}

TEST_F(GlyphFontTest, OpaqueInkWithoutTheBlendBitIgnoresItsAlpha) {
  font.SetInkColour(0x80FF0000);
  Draw("A", Rect{0, 0, 20, 30});
  ExpectOnly(0, 2, 4, 8, 0xFFFF0000);
}

TEST_F(GlyphFontTest, NoWeightDrawsNothing) {
  font.SetBlendMode(kBlendCopy, 0.0f);
  EXPECT_EQ(Draw("A", Rect{0, 0, 20, 30}), 0);
  font.SetBlendMode(kBlendCopy, 1.0f);
  font.SetInkColour(0x00FF0000);
  EXPECT_EQ(Draw("A", Rect{0, 0, 20, 30}, kBlended), 0);
  ExpectOnly(0, 0, 0, 0, 0);

  // Where the system would draw the text itself, too.
  source.nativeAllowed = true;
  font.SetBlendMode(kBlendCopy, 0.0f);
  Rect rect{1, 2, 3, 4};
  EXPECT_EQ(font.RenderTextInRect(dest.get(), "Hi", -1, &rect, 0x101), 0);
  EXPECT_EQ(source.nativeCalls, 0);
}

TEST_F(GlyphFontTest, ChoosesTheNativePathOnlyWhenEverythingAllowsIt) {
  source.nativeAllowed = true;
  Rect rect{1, 2, 3, 4};
  EXPECT_EQ(font.RenderTextInRect(dest.get(), "Hi", -1, &rect, 0x101), 42);
  EXPECT_EQ(source.nativeCalls, 1);
  EXPECT_EQ(source.lastNative.format, 0x101u);
  EXPECT_EQ(source.lastNative.length, 2);
  EXPECT_EQ(source.lastNative.ink, kRed);
  EXPECT_EQ(source.lastNative.font, kHandle);
  EXPECT_EQ(source.lastNative.rect, &rect);
  EXPECT_TRUE(source.renders.empty());

  // Translucent text, a forced cache, or a styled mask: the cache.
  font.SetInkColour(0x80FF0000);
  Draw("A", Rect{0, 0, 20, 30}, kBlended);
  font.SetInkColour(kRed);
  Draw("A", Rect{0, 0, 20, 30}, kPlain | GlyphFont::kForceCache);
  font.SetExtraLineSpacing(2);
  Draw("A", Rect{0, 0, 20, 30});
  EXPECT_EQ(source.nativeCalls, 1);
  Draw("A", Rect{0, 0, 20, 30}, kPlain | GlyphFont::kSingleLine);
  EXPECT_EQ(source.nativeCalls, 2);
  font.SetExtraLineSpacing(0);

  for (int flags : {GlyphFont::kNativeAllowed | GlyphFont::kBlurMasks,
                    GlyphFont::kNativeAllowed | GlyphFont::kAsciiOnly, GlyphFont::kOwnsHandle}) {
    font.AdoptFontHandle(kHandle, flags);
    Draw("A", Rect{0, 0, 20, 30});
    EXPECT_EQ(source.nativeCalls, 2) << flags;
  }

  // Under Wine (native not allowed) the cache draws.
  source.nativeAllowed = false;
  font.AdoptFontHandle(kHandle, GlyphFont::kNativeAllowed);
  Draw("A", Rect{0, 0, 20, 30});
  EXPECT_EQ(source.nativeCalls, 2);
}

TEST_F(GlyphFontTest, VeryTallFontsAreDrawnNativelyAndNeverCached) {
  source.lineHeight = 300;
  font.AdoptFontHandle(kHandle, 0);
  EXPECT_EQ(Draw("A", Rect{0, 0, 20, 30}), 42);
  EXPECT_EQ(source.nativeCalls, 1);

  source.lineHeight = 1100;
  font.AdoptFontHandle(kHandle, 0);
  EXPECT_EQ(font.Glyph('A'), nullptr);
  EXPECT_FALSE(font.PaintGlyph(dest.get(), 'A', 0, 0, Rect{0, 0, 20, 30}));
  EXPECT_TRUE(source.renders.empty());
}

TEST_F(GlyphFontTest, ClipsToTheRectangleAndTheBitmap) {
  // Left edge: the block starts two pixels outside the bitmap.
  Draw("A", Rect{-2, 0, 20, 30}, 0);
  ExpectOnly(0, 2, 2, 8, kRed);

  dest = Filled(20, 30, kBlack);
  Draw("A", Rect{18, 0, 40, 30}, 0);
  ExpectOnly(18, 2, 20, 8, kRed);

  // Without kNoClip the rectangle limits the glyph; with it only the bitmap.
  dest = Filled(20, 30, kBlack);
  Draw("A", Rect{3, 0, 5, 6}, 0);
  ExpectOnly(3, 2, 5, 6, kRed);
  Draw("A", Rect{3, 0, 5, 6}, kPlain);
  ExpectOnly(3, 2, 7, 8, kRed);

  dest = Filled(20, 30, kBlack);
  Draw("A", Rect{3, 26, 20, 30}, 0);
  ExpectOnly(3, 28, 7, 30, kRed);

  dest = Filled(20, 30, kBlack);
  Draw("A", Rect{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, 0);
  Draw("A", Rect{INT_MAX, INT_MAX, INT_MIN, INT_MIN}, kPlain);
  Draw("AAAA", Rect{INT_MAX - 6, 0, INT_MAX, 30}, kPlain);
  ExpectOnly(0, 0, 0, 0, 0);
}

TEST_F(GlyphFontTest, AlignmentShiftsTheStart) {
  Draw("A", Rect{0, 0, 20, 30}, kPlain | GlyphFont::kCentre);
  ExpectOnly(7, 2, 11, 8, kRed); // (20 - 5) / 2

  dest = Filled(20, 30, kBlack);
  Draw("A", Rect{0, 0, 20, 30}, kPlain | GlyphFont::kRight | GlyphFont::kBottom);
  ExpectOnly(15, 22, 19, 28, kRed); // 20 - 5, 30 - 10

  dest = Filled(20, 30, kBlack);
  Draw("A", Rect{0, 0, 20, 30}, kPlain | GlyphFont::kVCentre);
  ExpectOnly(0, 12, 4, 18, kRed); // (30 - 10) / 2
}

TEST_F(GlyphFontTest, LineBreaks) {
  // Single-line: the LF reads as a space (advance 3).
  Draw("A\nA", Rect{0, 0, 20, 30}, kPlain | GlyphFont::kSingleLine);
  EXPECT_EQ(At(*dest, 8, 2), kRed);
  EXPECT_EQ(At(*dest, 0, 12), kBlack);

  dest = Filled(20, 30, kBlack);
  EXPECT_EQ(Draw("A\nA", Rect{2, 0, 20, 30}), 20);
  EXPECT_EQ(At(*dest, 2, 2), kRed);
  EXPECT_EQ(At(*dest, 2, 12), kRed);
  EXPECT_EQ(At(*dest, 7, 2), kBlack);

  // CR is dropped.
  dest = Filled(20, 30, kBlack);
  Draw("A\rA", Rect{0, 0, 20, 30});
  EXPECT_EQ(At(*dest, 5, 2), kRed);
  EXPECT_EQ(At(*dest, 0, 12), kBlack);
}

TEST_F(GlyphFontTest, MeasuringReportsAdvanceAndLineHeight) {
  Rect rect{2, 3, 0, 0};
  EXPECT_EQ(font.RenderTextInRect(nullptr, "A", -1, &rect, GlyphFont::kMeasureOnly), 10);
  EXPECT_EQ(rect.right, 7);
  EXPECT_EQ(rect.bottom, 13);

  font.SetExtraLineSpacing(4);
  rect = Rect{0, 0, 0, 0};
  EXPECT_EQ(font.RenderTextInRect(nullptr, "AA\nA \xC3\xA9", -1, &rect, GlyphFont::kMeasureOnly),
            24);
  EXPECT_EQ(rect.right, 14); // 5 + 3 + 6 on the second line
  EXPECT_EQ(rect.bottom, 24);

  rect = Rect{0, 0, 0, 0};
  font.RenderTextInRect(nullptr, "AA\nA", 3, &rect, GlyphFont::kMeasureOnly);
  EXPECT_EQ(rect.bottom, 24) << "the length counts bytes";
  EXPECT_EQ(rect.right, 10);
}

TEST_F(GlyphFontTest, OtherCharactersAreRenderedOnceAndFoundAgain) {
  Draw("\xC3\xA9\xE2\x82\xAC\xC3\xA9", Rect{0, 0, 20, 30});
  Draw("\xE2\x82\xAC", Rect{0, 0, 20, 30});
  EXPECT_EQ(source.renders[0xE9], 1);
  EXPECT_EQ(source.renders[0x20AC], 1);
  EXPECT_EQ(At(*dest, 6, 2), kRed);
  EXPECT_EQ(At(*dest, 16, 2), kRed);

  for (std::uint32_t code : {0x400u, 0x100u, 0xFFFFu, 0x300u, 0x101u, 0x80u})
    ASSERT_NE(font.Glyph(code), nullptr);
  for (std::uint32_t code : {0x80u, 0x100u, 0x101u, 0x300u, 0x400u, 0xE9u, 0x20ACu, 0xFFFFu}) {
    ASSERT_NE(font.Glyph(code), nullptr);
    EXPECT_EQ(font.Glyph(code)->code, code);
    EXPECT_EQ(source.renders[code], 1) << code;
  }
  EXPECT_EQ(font.Glyph(0x10000), nullptr);
}

TEST_F(GlyphFontTest, AsciiOnlyFontsRenderEverythingUpFrontAndNothingElse) {
  source.renders.clear();
  font.AdoptFontHandle(kHandle, GlyphFont::kAsciiOnly);
  EXPECT_EQ(source.renders.size(), 128u);
  EXPECT_EQ(font.Glyph(0xE9), nullptr);
  EXPECT_EQ(source.renders.count(0xE9), 0u);
  Draw("A", Rect{0, 0, 20, 30});
  EXPECT_EQ(source.renders['A'], 1);
}

TEST_F(GlyphFontTest, BlankAndFailedCharactersOnlyAdvance) {
  Draw(" x A", Rect{0, 0, 20, 30});
  EXPECT_EQ(source.renders['x'], 1);
  Draw("x", Rect{0, 0, 20, 30});
  EXPECT_EQ(source.renders['x'], 1) << "a failed character is not asked for again";
  ExpectOnly(6, 2, 10, 8, kRed); // 3 + 0 + 3
  EXPECT_FALSE(font.PaintGlyph(dest.get(), ' ', 0, 0, Rect{0, 0, 20, 30}));
  EXPECT_FALSE(font.PaintGlyph(dest.get(), 'A', 0, 0, Rect{10, 10, 10, 20}));
  EXPECT_FALSE(font.PaintGlyph(nullptr, 'A', 0, 0, Rect{0, 0, 20, 30}));
  EXPECT_TRUE(font.PaintGlyph(dest.get(), 'A', 0, 0, Rect{0, 0, 20, 30}));
}

TEST_F(GlyphFontTest, InkLeftOfThePenIsKeptAsBearing) {
  ASSERT_NE(font.Glyph('I'), nullptr);
  EXPECT_EQ(font.Glyph('I')->bearing, 1);
  font.PaintGlyph(dest.get(), 'I', 5, 0, Rect{0, 0, 20, 30});
  ExpectOnly(4, 0, 7, 10, kRed);
}

TEST_F(GlyphFontTest, OpaquePaperFillsTheGlyphBox) {
  font.SetPaperMode(GlyphFont::kPaperOpaque);
  font.SetPaperColour(0xFF0000FF);
  Draw("A", Rect{0, 0, 20, 30});
  EXPECT_EQ(At(*dest, 1, 1), kRed - 0xFF0000 + 0xFF); // paper inside the box
  EXPECT_EQ(At(*dest, 1, 3), kRed);
  EXPECT_EQ(At(*dest, 4, 9), 0xFF0000FFu); // the box is 5 wide, 10 high
  EXPECT_EQ(At(*dest, 5, 3), kBlack);
  EXPECT_EQ(At(*dest, 1, 10), kBlack);
}

TEST_F(GlyphFontTest, AddOperatorAddsTheInk) {
  dest = Filled(20, 30, 0xFF101010);
  font.SetInkColour(0xFF204060);
  font.SetBlendMode(kBlendAdd, 1.0f);
  Draw("A", Rect{0, 0, 20, 30});
  EXPECT_EQ(At(*dest, 0, 2), 0xFF305070u);
  EXPECT_EQ(At(*dest, 0, 0), 0xFF101010u);
}

TEST_F(GlyphFontTest, MonochromeMasksWriteTheInkWordAtTheThreshold) {
  font.AdoptFontHandle(kHandle, GlyphFont::kMonochrome);
  font.SetInkColour(0x80FF0000);
  font.PaintGlyph(dest.get(), 'm', 0, 0, Rect{0, 0, 20, 30});
  EXPECT_EQ(At(*dest, 0, 0), kBlack);      // 130: empty
  EXPECT_EQ(At(*dest, 1, 0), 0x80FF0000u); // 131: full, the word itself
}

TEST_F(GlyphFontTest, OutlinesUseTheEffectColour) {
  constexpr std::uint32_t kFx = 0xFF00FF00;
  font.AdoptFontHandle(kHandle, GlyphFont::kOutlineAround);
  font.SetFxColour(kFx);
  font.PaintGlyph(dest.get(), 'o', 0, 0, Rect{0, 0, 20, 30});
  EXPECT_EQ(At(*dest, 1, 1), kRed);
  for (auto [x, y] : {std::pair{0, 1}, {2, 1}, {1, 0}, {1, 2}})
    EXPECT_EQ(At(*dest, x, y), kFx);
  EXPECT_EQ(At(*dest, 2, 2), kBlack);

  dest = Filled(20, 30, kBlack);
  font.AdoptFontHandle(kHandle, GlyphFont::kOutlineUpLeft);
  font.PaintGlyph(dest.get(), 'o', 0, 0, Rect{0, 0, 20, 30});
  EXPECT_EQ(At(*dest, 1, 1), kRed);
  for (auto [x, y] : {std::pair{2, 1}, {1, 2}, {2, 2}})
    EXPECT_EQ(At(*dest, x, y), kFx);
  for (auto [x, y] : {std::pair{0, 1}, {1, 0}, {0, 0}})
    EXPECT_EQ(At(*dest, x, y), kBlack);
}

TEST_F(GlyphFontTest, InvertedMasksInkTheBackground) {
  font.AdoptFontHandle(kHandle, GlyphFont::kInvertMasks);
  font.PaintGlyph(dest.get(), 'A', 0, 0, Rect{0, 0, 20, 30});
  EXPECT_EQ(At(*dest, 0, 2), kBlack);
  EXPECT_EQ(At(*dest, 0, 0), kRed);
  EXPECT_EQ(At(*dest, 4, 5), kRed);
}

TEST_F(GlyphFontTest, BlurredMasksSpillIntoTheMargin) {
  font.AdoptFontHandle(kHandle, GlyphFont::kBlurMasks);
  ASSERT_NE(font.Glyph('A'), nullptr);
  EXPECT_EQ(font.Glyph('A')->bearing, 1);
  font.PaintGlyph(dest.get(), 'A', 5, 0, Rect{0, 0, 20, 30});
  const std::uint32_t spill = At(*dest, 4, 4);
  EXPECT_NE(spill, kBlack);
  EXPECT_LT((spill >> 16) & 0xFF, 0x80u);
}

TEST_F(GlyphFontTest, VerticalFontsTurnTheMaskAndRunDown) {
  font.AdoptFontHandle(kHandle, GlyphFont::kVertical);
  const GlyphRecord* glyph = font.Glyph('A');
  ASSERT_NE(glyph, nullptr);
  EXPECT_EQ(glyph->width, 10);
  EXPECT_EQ(glyph->height, 5);
  // Block rows 2..7 of a 10-row box turn into columns 9 - 7 .. 9 - 2.
  font.PaintGlyph(dest.get(), 'A', 0, 0, Rect{0, 0, 20, 30});
  ExpectOnly(2, 0, 8, 4, kRed);

  dest = Filled(20, 30, kBlack);
  Rect rect{0, 0, 0, 0};
  font.RenderTextInRect(nullptr, "AA", -1, &rect, GlyphFont::kMeasureOnly);
  EXPECT_EQ(rect.right, 10);
  EXPECT_EQ(rect.bottom, 10);
  Draw("AA", Rect{0, 0, 20, 30});
  EXPECT_EQ(At(*dest, 2, 5), kRed);
  EXPECT_EQ(At(*dest, 2, 4), kBlack);
}

TEST_F(GlyphFontTest, OwnedHandlesAreDeletedWhenReplacedOrDestroyed) {
  void* a = reinterpret_cast<void*>(0xA);
  void* b = reinterpret_cast<void*>(0xB);
  void* c = reinterpret_cast<void*>(0xC);
  {
    GlyphFont owner(&source);
    owner.AdoptFontHandle(a, GlyphFont::kOwnsHandle);
    owner.AdoptFontHandle(a, GlyphFont::kOwnsHandle);
    EXPECT_EQ(source.deleted.count(a), 0u) << "the same handle again";
    owner.AdoptFontHandle(b, GlyphFont::kOwnsHandle);
    EXPECT_EQ(source.deleted.count(a), 1u);
    owner.AdoptFontHandle(c, 0);
    EXPECT_EQ(source.deleted.count(b), 1u);
  }
  EXPECT_EQ(source.deleted.count(c), 0u) << "not owned";
  {
    GlyphFont owner(&source);
    owner.AdoptFontHandle(c, GlyphFont::kOwnsHandle);
  }
  EXPECT_EQ(source.deleted.count(c), 1u);
  EXPECT_EQ(source.fontsCreated, 3);
  EXPECT_EQ(source.fontsDestroyed, 2);
}

TEST_F(GlyphFontTest, AdoptingAHandleEmptiesTheCache) {
  Draw("A\xC3\xA9", Rect{0, 0, 20, 30});
  font.AdoptFontHandle(kHandle, 0);
  Draw("A\xC3\xA9", Rect{0, 0, 20, 30});
  EXPECT_EQ(source.renders['A'], 2);
  EXPECT_EQ(source.renders[0xE9], 2);
}

TEST_F(GlyphFontTest, MissingArgumentsGiveNothing) {
  Rect rect{0, 0, 20, 30};
  EXPECT_EQ(font.RenderTextInRect(nullptr, "A", -1, &rect, kPlain), 0);
  EXPECT_EQ(font.RenderTextInRect(dest.get(), nullptr, -1, &rect, kPlain), 0);
  EXPECT_EQ(font.RenderTextInRect(dest.get(), "A", -1, nullptr, kPlain), 0);
  EXPECT_EQ(font.RenderTextInRect(dest.get(), "A", 0, &rect, kPlain), 10);
  ExpectOnly(0, 0, 0, 0, 0);

  GlyphFont noHandle(&source);
  EXPECT_EQ(noHandle.RenderTextInRect(dest.get(), "A", -1, &rect, kPlain), 0);
  EXPECT_EQ(noHandle.Glyph('A'), nullptr);
}

TEST(GlyphFontDefaults, StartTransparentWithBlackInk) {
  GlyphFont font;
  EXPECT_EQ(font.InkColour(), 0u);
  EXPECT_EQ(font.SetPaperColour(0), 0xFFFFFFFFu);
  EXPECT_EQ(font.SetFxColour(0), 0xFFFFFFFFu);
  EXPECT_EQ(font.SetPaperMode(GlyphFont::kPaperOpaque), GlyphFont::kPaperTransparent);
  EXPECT_EQ(font.SetInkColour(5), 0u);
  EXPECT_EQ(font.InkColour(), 5u);
  EXPECT_EQ(font.FontHandle(), nullptr);
  EXPECT_EQ(font.LineHeight(), 0);
}

} // namespace
} // namespace quorvane
