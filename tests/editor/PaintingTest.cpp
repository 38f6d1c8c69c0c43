// Dirty collection and painting of the surface, its drawing operations and
// its bitmap and font caches, checked by the pixels of the back bitmap.

#include "tests/editor/EditorFixture.h"
#include "tests/editor/ProbeControl.h"
#include "tests/editor/RecordingGlyphSource.h"
#include "tests/editor/TestImages.h"

#include "editor/BitmapCache.h"
#include "editor/FontCache.h"
#include "editor/IBitmapControl.h"
#include "editor/IButton.h"
#include "editor/IDropDown.h"
#include "editor/IKnobRotVal.h"
#include "editor/ISlider.h"

#include <cstring>

namespace quorvane::test {
namespace {

using Painting = EditorFixture;

TEST_F(Painting, EmptyControlListPaintsAndCopiesNothing) {
  Attach();
  Rect dirty{};
  EXPECT_FALSE(surface->CollectDirtyRect(dirty));
  EXPECT_TRUE(surface->PaintRect(Rect{0, 0, 10, 10}));
  EXPECT_TRUE(surface->blits.empty());
  EXPECT_EQ(surface->Pixel(5, 5), kBlack) << "a fresh back bitmap is black";
}

TEST_F(Painting, NothingDirtyLeavesTheRectangleAlone) {
  auto* probe = Add(std::make_unique<ProbeControl>(&effect, Rect{10, 10, 20, 20}, -1));
  Attach();
  EXPECT_TRUE(surface->Frame());
  Rect dirty{1, 2, 3, 4};
  EXPECT_FALSE(surface->CollectDirtyRect(dirty));
  EXPECT_TRUE(SameRect(dirty, Rect{1, 2, 3, 4}));
  EXPECT_FALSE(surface->Frame());
  EXPECT_EQ(probe->paints, 1);
}

TEST_F(Painting, DirtyRectangleIsTheUnionOfDirtyControls) {
  auto* a = Add(std::make_unique<ProbeControl>(&effect, Rect{10, 10, 20, 20}, -1));
  auto* b = Add(std::make_unique<ProbeControl>(&effect, Rect{50, 5, 60, 15}, -1));
  auto* c = Add(std::make_unique<ProbeControl>(&effect, Rect{0, 0, 0, 0}, -1));
  Attach();
  Rect dirty{};
  EXPECT_TRUE(surface->CollectDirtyRect(dirty));
  EXPECT_TRUE(SameRect(dirty, Rect{10, 5, 60, 20}));
  surface->PaintRect(dirty);
  EXPECT_EQ(c->paints, 0) << "an empty rectangle is never painted";
  EXPECT_FALSE(c->NeedsRedraw());
  b->MarkDirty(false);
  dirty = Rect{};
  surface->CollectDirtyRect(dirty);
  EXPECT_TRUE(SameRect(dirty, b->DrawRect()));
  surface->PaintRect(dirty);
  EXPECT_EQ(a->paints, 1);
  EXPECT_EQ(b->paints, 2);
  ASSERT_EQ(surface->blits.size(), 2u);
  EXPECT_TRUE(SameRect(surface->blits[1], b->DrawRect()));
}

TEST_F(Painting, AZeroPaintRectanglePaintsNothingButCleansEverything) {
  auto* probe = Add(std::make_unique<ProbeControl>(&effect, Rect{10, 10, 20, 20}, -1));
  Attach();
  EXPECT_TRUE(surface->PaintRect(Rect{}));
  EXPECT_EQ(probe->paints, 0);
  EXPECT_FALSE(probe->NeedsRedraw());
  EXPECT_EQ(surface->blits.size(), 1u);
}

TEST_F(Painting, AValueFromThePlugInIsPaintedInTwoConsecutiveFrames) {
  auto* probe =
      Add(std::make_unique<ProbeControl>(&effect, Rect{10, 10, 20, 20}, EditorTestEffect::kLevel));
  Attach();
  while (surface->Frame()) {
  }
  probe->paints = 0;
  effect.SetParameterFromHost(EditorTestEffect::kLevel, 0.25);
  EXPECT_TRUE(surface->Frame());
  EXPECT_TRUE(surface->Frame());
  EXPECT_FALSE(surface->Frame());
  EXPECT_EQ(probe->paints, 2);
}

class PaintingOnBackground : public EditorFixture {
protected:
  void SetUp() override { AddBackground(kGrey); }
};

TEST_F(Painting, TheBackgroundIsInsertedFirstAndCopiedPlainly) {
  auto* probe = Add(std::make_unique<ProbeControl>(&effect, Rect{10, 10, 20, 20}, -1));
  surface->SurfaceMouseDown(15, 15, left);
  ASSERT_EQ(surface->CaptureIndex(), 0);
  constexpr std::uint32_t kInvisible = 0x00123456u;
  surface->AddBackground(
      surface->Register([] { return Solid(TestSurface::kWidth, 60, kInvisible); }), "bg");
  Attach();
  ASSERT_EQ(surface->ControlCount(), 2);
  EXPECT_EQ(surface->Control(1), probe);
  EXPECT_EQ(surface->CaptureIndex(), 1) << "indices held by the surface move along";
  const IControl* background = surface->Control(0);
  EXPECT_EQ(background->GetBlend().mode, Blend::kPlainCopy);
  EXPECT_EQ(background->ParamIndex(), -1);
  EXPECT_TRUE(SameRect(background->DrawRect(), Rect{0, 0, TestSurface::kWidth, 60}));
  PaintAll();
  EXPECT_EQ(surface->Pixel(0, 0), kInvisible) << "a plain copy ignores the alpha";
  EXPECT_EQ(surface->Pixel(15, 15), kGreen);
  EXPECT_EQ(surface->HitControl(100, 30), 1) << "the capture still holds";
  surface->SurfaceMouseUp(15, 15, left);
  EXPECT_EQ(surface->HitControl(100, 30), 0);
}

TEST_F(PaintingOnBackground, AHiddenControlIsNotPaintedButItsAreaIsForTwoFrames) {
  auto* probe = Add(std::make_unique<ProbeControl>(&effect, Rect{10, 10, 20, 20}, -1));
  Attach();
  PaintAll();
  ASSERT_EQ(surface->Pixel(15, 15), kGreen);
  while (surface->Frame()) {
  }
  probe->paints = 0;

  probe->SetHidden(true);
  EXPECT_TRUE(surface->Frame());
  EXPECT_EQ(surface->Pixel(15, 15), kGrey);
  EXPECT_TRUE(SameRect(surface->blits.back(), probe->DrawRect()));
  EXPECT_TRUE(surface->Frame());
  EXPECT_FALSE(surface->Frame());
  EXPECT_EQ(probe->paints, 0);
  EXPECT_EQ(surface->HitControl(15, 15), 0);
}

TEST_F(PaintingOnBackground, AHostChangeRepaintsEveryControlOnThatParameter) {
  const BitmapRef strip = surface->Load(Strip(10, 10, true, {kRed, kGreen, kBlue}), 3);
  auto* a =
      Add(std::make_unique<IBitmapControl>(&effect, 10, 10, EditorTestEffect::kComp, strip, true));
  auto* b =
      Add(std::make_unique<IBitmapControl>(&effect, 50, 10, EditorTestEffect::kComp, strip, true));
  Attach();
  PaintAll();
  EXPECT_EQ(surface->Pixel(15, 15), kRed);
  EXPECT_EQ(surface->Pixel(55, 15), kRed);
  while (surface->Frame()) {
  }

  effect.SetParameterFromHost(EditorTestEffect::kComp, 1.0);
  Rect dirty{};
  ASSERT_TRUE(surface->CollectDirtyRect(dirty));
  EXPECT_TRUE(SameRect(dirty, Rect{10, 10, 60, 20}));
  surface->PaintRect(dirty);
  EXPECT_EQ(surface->Pixel(15, 15), kBlue);
  EXPECT_EQ(surface->Pixel(55, 15), kBlue);

  // A drag on one moves the parameter but not the other control.
  surface->SurfaceMouseDown(15, 15, left);
  surface->SurfaceWheel(15, 15, none, -50);
  surface->SurfaceMouseUp(15, 15, left);
  EXPECT_DOUBLE_EQ(a->Value(), 0.5);
  EXPECT_DOUBLE_EQ(b->Value(), 1.0);
  EXPECT_EQ(effect.ValueOf(EditorTestEffect::kComp), 1.0);
}

TEST_F(PaintingOnBackground, BitmapsAreClippedToTheRectangleBeingPainted) {
  const BitmapRef red = surface->Load(Solid(40, 40, kRed), 1);
  Add(std::make_unique<IBitmapControl>(&effect, 10, 10, -1, red, true));
  Attach();
  surface->PaintRect(Rect{20, 20, 30, 30});
  EXPECT_EQ(surface->Pixel(20, 20), kRed);
  EXPECT_EQ(surface->Pixel(29, 29), kRed);
  EXPECT_NE(surface->Pixel(19, 25), kRed);
  EXPECT_NE(surface->Pixel(30, 25), kRed);
}

TEST_F(Painting, FramesOfVerticalAndHorizontalStripsAreSelectedByValue) {
  const BitmapRef vertical = surface->Load(Strip(10, 10, true, {kRed, kGreen, kBlue}), 3);
  const BitmapRef horizontal = surface->Load(Strip(10, 10, false, {kRed, kGreen, kBlue}), 3);
  auto* v =
      Add(std::make_unique<IBitmapControl>(&effect, 0, 0, EditorTestEffect::kComp, vertical, true));
  auto* h = Add(
      std::make_unique<IBitmapControl>(&effect, 20, 0, EditorTestEffect::kComp, horizontal, false));
  Attach();
  EXPECT_TRUE(SameRect(v->DrawRect(), Rect{0, 0, 10, 10}));
  EXPECT_TRUE(SameRect(h->DrawRect(), Rect{20, 0, 30, 10}));
  const std::pair<double, std::uint32_t> cases[] = {{0.0, kRed},    {0.24, kRed},  {0.25, kGreen},
                                                    {0.74, kGreen}, {0.75, kBlue}, {1.0, kBlue}};
  for (const auto& [normalised, colour] : cases) {
    v->AcceptPlugValue(normalised);
    h->AcceptPlugValue(normalised);
    surface->PaintRect(Rect{0, 0, 40, 20});
    EXPECT_EQ(surface->Pixel(5, 5), colour) << normalised;
    EXPECT_EQ(surface->Pixel(25, 5), colour) << normalised;
  }
}

TEST_F(Painting, AFrameOffsetOnAHalfPixelRoundsUp) {
  // 45 rows in 10 frames: frame 8 starts at 45 * 7 / 10 + 0.5 = 32 exactly,
  // which the quotient 7 / 10 taken first would put at row 31.
  auto image = Solid(2, 45, kRed);
  for (int y = 32; y < 45; ++y)
    for (int x = 0; x < 2; ++x)
      SetPixel(*image, x, y, kGreen);
  const BitmapRef vertical = surface->Load(std::move(image), 10);
  auto* strip =
      Add(std::make_unique<IBitmapControl>(&effect, 0, 0, EditorTestEffect::kComp, vertical, true));
  Attach();
  strip->AcceptPlugValue(7.0 / 9.0); // frame 8 of 10
  surface->PaintRect(Rect{0, 0, 10, 10});
  EXPECT_EQ(surface->Pixel(0, 0), kGreen);
}

TEST_F(Painting, BlendsMapOntoTheRasterModes) {
  EXPECT_EQ((Blend{Blend::kThroughAlpha, 1.0f}.ModeWord()), 0x10000u);
  EXPECT_EQ((Blend{Blend::kPlainCopy, 1.0f}.ModeWord()), 0x0u);
  EXPECT_EQ((Blend{Blend::kAdd, 1.0f}.ModeWord()), 0x10001u);
  EXPECT_EQ((Blend{Blend::kDodge, 1.0f}.ModeWord()), 0x10002u);
  EXPECT_EQ((Blend{77, 1.0f}.ModeWord()), 0x10000u);

  // Through alpha: a transparent image leaves what is below; grayed controls
  // draw at a quarter weight.
  const BitmapRef clear = surface->Load(Solid(10, 10, 0x00FF0000u), 1);
  const BitmapRef white = surface->Load(Solid(10, 10, kWhite), 1);
  Add(std::make_unique<IBitmapControl>(&effect, 0, 0, -1, clear, true));
  auto* grayed = Add(std::make_unique<IBitmapControl>(&effect, 20, 0, -1, white, true));
  grayed->SetGrayed(true);
  Attach();
  PaintAll();
  EXPECT_EQ(surface->Pixel(5, 5), kBlack);
  const std::uint32_t dimmed = surface->Pixel(25, 5);
  EXPECT_GT(dimmed & 0xFF, 0x30u);
  EXPECT_LT(dimmed & 0xFF, 0x50u);
}

TEST_F(Painting, BitmapsAreLoadedOncePerProcessWhateverTheFrameCount) {
  const std::int32_t id = surface->Register([] { return Solid(12, 30, kBlue); });
  const BitmapRef one = surface->LoadEditorBitmap(id, "strip", 1);
  const BitmapRef three = surface->LoadEditorBitmap(id, "strip", 3);
  EXPECT_EQ(surface->loads[id], 1);
  EXPECT_EQ(one.bitmap, three.bitmap);
  EXPECT_EQ(three.frames, 3);
  EXPECT_EQ(three.width, 12);
  EXPECT_EQ(three.height, 30);

  // Another instance shares the same bitmap without decoding it again.
  EditorTestEffect otherPlug;
  TestSurface other(&otherPlug);
  EXPECT_EQ(other.LoadEditorBitmap(id, "strip", 1).bitmap, one.bitmap);
  EXPECT_EQ(other.loads[id], 0);
  EXPECT_EQ(BitmapCache::Instance().Find(BitmapCache::kCropped), nullptr);
}

TEST_F(Painting, PngBytesAreDecodedAndADamagedImageLeavesAnEmptyReference) {
  const BitmapRef png = surface->LoadPng(SolidPng(8, 6, 0xFF204060u), 2);
  ASSERT_NE(png.bitmap, nullptr);
  EXPECT_EQ(png.width, 8);
  EXPECT_EQ(png.height, 6);
  EXPECT_EQ(PixelAt(*png.bitmap, 3, 3), 0xFF204060u);

  std::vector<std::uint8_t> damaged = SolidPng(8, 6, kRed);
  damaged.resize(damaged.size() / 2);
  const BitmapRef broken = surface->LoadPng(damaged, 0);
  EXPECT_TRUE(broken.IsEmpty());
  EXPECT_EQ(broken.frames, 1) << "a frame count below one is taken as one";
  const BitmapRef missing =
      surface->LoadEditorBitmap(surface->Register([] { return nullptr; }), "missing", 4);
  EXPECT_TRUE(missing.IsEmpty());
}

TEST_F(PaintingOnBackground, ControlsWithImagesThatFailedToLoadDrawNothing) {
  const BitmapRef missing =
      surface->LoadEditorBitmap(surface->Register([] { return nullptr; }), "missing", 2);
  TextStyle style;
  style.size = 10;
  Add(std::make_unique<IBitmapControl>(&effect, 10, 10, EditorTestEffect::kComp, missing, true));
  Add(std::make_unique<IKnobRotVal>(&effect, -1, 60, 40, missing, style, 0, 300, 4.0, 0, 0));
  Add(std::make_unique<IButton>(&effect, EditorTestEffect::kLevel, 100, 10, missing));
  Add(std::make_unique<ISlider>(&effect, -1, Rect{10, 60, 110, 90}, missing, style,
                                Color{255, 255, 0, 0}, 100, 4, 1));
  Add(std::make_unique<IDropDown>(&effect, EditorTestEffect::kTarget, 120, 60, missing, missing));
  Attach();
  effect.SetParameterFromHost(EditorTestEffect::kLevel, 1.0);
  PaintAll();
  surface->SurfaceMouseDown(121, 60, left); // the drop-down opens an empty list
  PaintAll();
  for (int y = 0; y < TestSurface::kHeight; y += 3)
    for (int x = 0; x < TestSurface::kWidth; x += 3) {
      if (x >= 10 && x < 110 && y >= 60 && y < 90) continue; // the slider's bar
      ASSERT_EQ(surface->Pixel(x, y), kGrey) << x << "," << y;
    }
}

TEST_F(Painting, CroppedCopiesAreKeptInTheCacheAndOutsidePartsAreTransparent) {
  auto strip = Strip(10, 10, false, {kRed, kGreen});
  const BitmapRef source = surface->Load(std::move(strip), 2);
  const std::size_t before = BitmapCache::Instance().Count();
  const BitmapRef half = surface->CropBitmap(source, Rect{10, 0, 20, 10});
  ASSERT_NE(half.bitmap, nullptr);
  EXPECT_EQ(BitmapCache::Instance().Count(), before + 1);
  EXPECT_EQ(half.width, 10);
  EXPECT_EQ(half.frames, 2);
  EXPECT_EQ(PixelAt(*half.bitmap, 0, 0), kGreen);

  const BitmapRef overhang = surface->CropBitmap(source, Rect{15, -5, 25, 5});
  EXPECT_EQ(PixelAt(*overhang.bitmap, 0, 5), kGreen);
  EXPECT_EQ(PixelAt(*overhang.bitmap, 0, 0), kClear);
  EXPECT_EQ(PixelAt(*overhang.bitmap, 9, 9), kClear);

  EXPECT_TRUE(surface->CropBitmap(source, Rect{5, 5, 5, 9}).IsEmpty());
  EXPECT_TRUE(surface->CropBitmap(source, Rect{0, 0, 1 << 30, 1 << 30}).IsEmpty());
  EXPECT_TRUE(surface->CropBitmap(BitmapRef{}, Rect{0, 0, 4, 4}).IsEmpty());
  EXPECT_EQ(BitmapCache::Instance().Count(), before + 2);
}

TEST_F(Painting, DrawingOperationsSurviveExtremeRectangles) {
  const BitmapRef red = surface->Load(Solid(10, 10, kRed), 1);
  Attach();
  const int big = std::numeric_limits<int>::max();
  const int small = std::numeric_limits<int>::min();
  surface->PaintRect(Rect{small, small, big, big});
  for (const Rect& r : {Rect{small, small, big, big}, Rect{big - 1, 0, big, 5},
                        Rect{small, 0, small + 3, 5}, Rect{5, 5, 2, 2}}) {
    EXPECT_TRUE(surface->PaintBitmap(red, r, 1, nullptr, true));
    EXPECT_TRUE(surface->PaintBitmapRegion(red, r, small, big, nullptr));
    EXPECT_TRUE(surface->PaintFilledRect(Color{255, 0, 0, 255}, r, nullptr));
    EXPECT_TRUE(surface->PaintRotatedBitmap(red, r.left, r.top, 1.0, nullptr, 0.0f, 0.0f));
  }
  EXPECT_EQ(surface->Pixel(0, 0), kBlue) << "the whole back bitmap was filled";
}

TEST_F(Painting, TextIsDrawnWithTheStyleFontAndCachedByStyle) {
  Attach();
  RecordingGlyphSource& source = RecordingGlyphSource::Instance();
  source.drawn.clear();
  TextStyle style;
  std::strcpy(style.fontName, "PaintingTestSans");
  style.size = 12;
  style.color = Color{255, 10, 20, 30};
  style.alignment = TextStyle::kAlignRight;

  EXPECT_TRUE(surface->PaintText(style, "", Rect{0, 0, 50, 12}));
  EXPECT_TRUE(surface->PaintText(style, nullptr, Rect{0, 0, 50, 12}));
  EXPECT_EQ(surface->fontsMade, 0);

  EXPECT_TRUE(surface->PaintText(style, "0.50", Rect{0, 0, 50, 12}));
  ASSERT_NE(style.font, nullptr);
  ASSERT_EQ(source.drawn.size(), 1u);
  EXPECT_EQ(source.drawn[0].text, "0.50");
  EXPECT_EQ(source.drawn[0].format, GlyphFont::kNoClip | GlyphFont::kRight);
  EXPECT_EQ(source.drawn[0].ink, 0xFF0A141Eu);
  EXPECT_EQ(surface->Pixel(10, 5), 0xFF0A141Eu);

  TextStyle copy = style;
  copy.font = nullptr;
  copy.alignment = TextStyle::kAlignCentre;
  EXPECT_TRUE(surface->PaintText(copy, "x", Rect{0, 20, 50, 32}));
  EXPECT_EQ(copy.font, style.font) << "the same style shares one font";
  EXPECT_EQ(surface->fontsMade, 1);
  EXPECT_EQ(source.drawn[1].format, GlyphFont::kNoClip | GlyphFont::kCentre);

  TextStyle bold = copy;
  bold.font = nullptr;
  bold.styleFlags = TextStyle::kBold;
  bold.alignment = 7; // any other alignment is right-aligned
  EXPECT_TRUE(surface->PaintText(bold, "y", Rect{0, 40, 50, 52}));
  EXPECT_NE(bold.font, style.font);
  EXPECT_EQ(source.drawn[2].format, GlyphFont::kNoClip | GlyphFont::kRight);
  EXPECT_EQ(FontCache::Instance().Find(bold), bold.font);

  // Translucent text is blended from the glyph cache, not drawn natively.
  TextStyle translucent = style;
  translucent.color.a = 200;
  const int refused = source.refusedGlyphs;
  EXPECT_TRUE(surface->PaintText(translucent, "z", Rect{0, 60, 50, 72}));
  EXPECT_EQ(source.drawn.size(), 3u);
  EXPECT_GT(source.refusedGlyphs, refused);
}

TEST_F(Painting, AFontThatCannotBeMadeDrawsNothingAndAnswersFalse) {
  Attach();
  TextStyle style;
  std::strcpy(style.fontName, "NoSuchFont");
  style.size = 0;
  EXPECT_FALSE(surface->PaintText(style, "text", Rect{0, 0, 50, 12}));
  EXPECT_EQ(style.font, nullptr);
  EXPECT_EQ(FontCache::Instance().Find(style), nullptr);
}

} // namespace
} // namespace quorvane::test
