// The stock controls' layout and painting, checked by the pixels of the back
// bitmap, and the link control's addresses.

#include "tests/editor/EditorFixture.h"
#include "tests/editor/RecordingGlyphSource.h"
#include "tests/editor/TestImages.h"

#include "editor/IButton.h"
#include "editor/IButtonHold.h"
#include "editor/IKnobRotVal.h"
#include "editor/ILinkControl.h"
#include "editor/IRadioButtons.h"
#include "editor/ISlider.h"

#include <cmath>
#include <cstring>
#include <string>

namespace quorvane::test {
namespace {

constexpr double kPi = 3.14159265358979323846;

std::uint32_t Red(std::uint32_t word) {
  return word >> 16 & 0xFF;
}

using StockControls = EditorFixture;

// A knob whose turning frame is a red bar from the top edge towards the
// centre, and whose cap frame is transparent.
std::unique_ptr<HeapBitmap> KnobStrip() {
  auto strip = Strip(20, 20, false, {kClear, kClear});
  for (int y = 1; y < 8; ++y)
    for (int x = 7; x < 13; ++x)
      SetPixel(*strip, x, y, kRed);
  return strip;
}

TEST_F(StockControls, KnobRectangleCentresTheImageOnThePivotWithTheTextLineBelow) {
  TextStyle style;
  style.size = 14;
  const BitmapRef knob = surface->Load(Strip(32, 32, false, {kRed, kBlue}), 2);
  IKnobRotVal plain(&effect, 0, 108, 174, knob, style, 6, 300, 4.0, 0, 0);
  EXPECT_TRUE(SameRect(plain.DrawRect(), Rect{92, 158, 124, 210}));
  IKnobRotVal wide(&effect, 0, 52, 174, knob, style, 6, 300, 4.0, 60, 0);
  EXPECT_TRUE(SameRect(wide.DrawRect(), Rect{22, 158, 82, 210}));
  EXPECT_TRUE(SameRect(wide.HitRect(), wide.DrawRect()));
}

TEST_F(StockControls, AKnobAtMidValueIsUprightAndAtTheEndsTurnedByHalfTheSweep) {
  TextStyle style;
  style.size = 10;
  const BitmapRef image = surface->Load(KnobStrip(), 2);
  auto* knob = Add(std::make_unique<IKnobRotVal>(&effect, EditorTestEffect::kLevel, 50, 40, image,
                                                 style, 0, 180, 4.0, 0, 0));
  auto* turned = Add(std::make_unique<IKnobRotVal>(&effect, EditorTestEffect::kGain, 50, 90, image,
                                                   style, 0, 300, 4.0, 0, 0));
  AddBackground(kBlack);
  Attach();
  EXPECT_NEAR(knob->Angle(), 0.0, 1e-7);
  EXPECT_NEAR(turned->Angle(), 0.0, 1e-6);
  PaintAll();
  EXPECT_GT(Red(surface->Pixel(50, 36)), 200u) << "indicator up";
  EXPECT_EQ(Red(surface->Pixel(56, 40)), 0u);
  EXPECT_EQ(Red(surface->Pixel(44, 40)), 0u);

  effect.SetParameterFromHost(EditorTestEffect::kLevel, 1.0);
  effect.SetParameterFromHost(EditorTestEffect::kGain, 0.0);
  EXPECT_NEAR(knob->Angle(), kPi / 2, 1e-6);
  EXPECT_NEAR(turned->Angle(), -150.0 * kPi / 180.0, 1e-6);
  surface->Frame();
  EXPECT_GT(Red(surface->Pixel(55, 40)), 100u) << "turned a quarter clockwise: right";
  EXPECT_EQ(Red(surface->Pixel(50, 34)), 0u);

  effect.SetParameterFromHost(EditorTestEffect::kLevel, 0.0);
  surface->Frame();
  EXPECT_GT(Red(surface->Pixel(44, 40)), 100u) << "turned a quarter anticlockwise: left";
  EXPECT_EQ(Red(surface->Pixel(55, 40)), 0u);
}

TEST_F(StockControls, TheKnobCapIsDrawnUprightOverTheTurningFrame) {
  TextStyle style;
  style.size = 10;
  auto strip = KnobStrip();
  for (int y = 8; y < 12; ++y)
    for (int x = 28; x < 32; ++x)
      SetPixel(*strip, x, y, kBlue); // a dot in the cap frame
  const BitmapRef image = surface->Load(std::move(strip), 2);
  Add(std::make_unique<IKnobRotVal>(&effect, EditorTestEffect::kLevel, 50, 40, image, style, 0, 180,
                                    4.0, 0, 0));
  Attach();
  effect.SetParameterFromHost(EditorTestEffect::kLevel, 1.0);
  PaintAll();
  EXPECT_EQ(surface->Pixel(49, 39), kBlue);
  EXPECT_EQ(surface->Pixel(50, 40), kBlue);
}

TEST_F(StockControls, TheKnobReadoutIsTheValueTextWithItsUnitCentredBelow) {
  RecordingGlyphSource& source = RecordingGlyphSource::Instance();
  TextStyle style;
  std::strcpy(style.fontName, "StockReadout");
  style.size = 10;
  style.color = Color{255, 255, 255, 255};
  const BitmapRef image = surface->Load(KnobStrip(), 2);
  auto* knob = Add(std::make_unique<IKnobRotVal>(&effect, EditorTestEffect::kGain, 50, 40, image,
                                                 style, 5, 300, 4.0, 0, 0));
  auto* silent = Add(std::make_unique<IKnobRotVal>(&effect, EditorTestEffect::kGain, 120, 40, image,
                                                   style, 0, 300, 4.0, 0, 0));
  Attach();
  effect.SetParameterFromHost(EditorTestEffect::kGain, 0.75);
  source.drawn.clear();
  PaintAll();
  ASSERT_EQ(source.drawn.size(), 1u) << "no read-out without a text gap";
  EXPECT_EQ(source.drawn[0].text, "6.0dB");
  EXPECT_TRUE(SameRect(source.drawn[0].rect, Rect{40, 55, 60, 65}));
  EXPECT_EQ(source.drawn[0].format, GlyphFont::kNoClip | GlyphFont::kCentre);
  EXPECT_TRUE(SameRect(knob->DrawRect(), Rect{40, 30, 60, 65}));
  EXPECT_TRUE(SameRect(silent->DrawRect(), Rect{110, 30, 130, 60}));
}

class SliderPainting : public EditorFixture {
protected:
  // A horizontal slider over 10..110 with a 10 x 10 green handle: track 10, 10,
  // 110, 20, travel 90, a 4-pixel bar on rows 13..16.
  ISlider* AddSlider() {
    TextStyle style;
    std::strcpy(style.fontName, "SliderText");
    style.size = 8;
    style.color = Color{255, 0, 0, 255};
    const BitmapRef handle = surface->Load(Solid(10, 10, kGreen), 1);
    return Add(std::make_unique<ISlider>(&effect, EditorTestEffect::kLevel, Rect{10, 10, 110, 40},
                                         handle, style, Color{255, 255, 0, 0}, 100, 4, 1));
  }
};

TEST_F(SliderPainting, BarAndHandleFollowTheValue) {
  ISlider* slider = AddSlider();
  Attach();
  EXPECT_TRUE(SameRect(slider->Track(), Rect{10, 10, 110, 20}));
  EXPECT_EQ(slider->Travel(), 90);
  PaintAll(); // value 0.5: bar to 60, handle 55..64
  EXPECT_EQ(surface->Pixel(11, 14), kRed);
  EXPECT_EQ(surface->Pixel(54, 14), kRed);
  EXPECT_EQ(surface->Pixel(10, 14), kBlack) << "the bar starts one pixel in";
  EXPECT_EQ(surface->Pixel(54, 12), kBlack) << "the bar is 4 pixels thick";
  EXPECT_EQ(surface->Pixel(54, 17), kBlack);
  EXPECT_EQ(surface->Pixel(55, 11), kGreen);
  EXPECT_EQ(surface->Pixel(64, 19), kGreen);
  EXPECT_EQ(surface->Pixel(66, 14), kBlack);
  EXPECT_EQ(surface->Pixel(60, 36), kBlue) << "the read-out line at the bottom";

  effect.SetParameterFromHost(EditorTestEffect::kLevel, 1.0);
  effect.SetParameterFromHost(EditorTestEffect::kGain, 0.0);
  PaintAll(); // bar to 105, handle 100..109
  EXPECT_EQ(surface->Pixel(99, 14), kRed);
  EXPECT_EQ(surface->Pixel(100, 11), kGreen);
  EXPECT_EQ(surface->Pixel(109, 11), kGreen);

  surface->PaintFilledRect(Color{255, 0, 0, 0}, Rect{0, 0, 200, 40}, nullptr);
  effect.SetParameterFromHost(EditorTestEffect::kLevel, 0.0);
  PaintAll(); // bar to 15, handle 10..19
  EXPECT_EQ(surface->Pixel(19, 11), kGreen);
  EXPECT_EQ(surface->Pixel(21, 14), kBlack);
}

TEST_F(SliderPainting, ClicksAndDragsInsideTheTrackCentreTheHandleOnThePointer) {
  AddSlider();
  Attach();
  surface->SurfaceMouseDown(10, 15, left); // left edge: negative raw value, clamped
  EXPECT_EQ(effect.ValueOf(EditorTestEffect::kLevel), 0.0);
  surface->SurfaceDrag(60, 15, left);
  EXPECT_DOUBLE_EQ(effect.ValueOf(EditorTestEffect::kLevel), 0.5);
  surface->SurfaceDrag(80, 25, left); // below the track: ignored
  EXPECT_DOUBLE_EQ(effect.ValueOf(EditorTestEffect::kLevel), 0.5);
  surface->SurfaceDrag(109, 19, left);
  EXPECT_EQ(effect.ValueOf(EditorTestEffect::kLevel), 1.0);
  surface->SurfaceMouseUp(109, 19, left);
  surface->SurfaceMouseDown(60, 30, left); // in the area, not the track
  EXPECT_EQ(effect.ValueOf(EditorTestEffect::kLevel), 1.0);
  surface->SurfaceMouseUp(60, 30, left);
  surface->SurfaceMouseDown(60, 15, right);
  EXPECT_EQ(effect.ValueOf(EditorTestEffect::kLevel), 1.0);
  EXPECT_EQ(surface->prompts.size(), 1u);
}

TEST_F(StockControls, AVerticalSliderRunsUpwards) {
  TextStyle style;
  const BitmapRef handle = surface->Load(Solid(10, 10, kGreen), 1);
  auto* slider =
      Add(std::make_unique<ISlider>(&effect, EditorTestEffect::kLevel, Rect{10, 10, 31, 120},
                                    handle, style, Color{255, 255, 0, 0}, 100, 4, 0));
  Attach();
  EXPECT_TRUE(SameRect(slider->Track(), Rect{16, 10, 26, 110}));
  EXPECT_EQ(slider->Travel(), 90);
  PaintAll(); // value 0.5: handle rows 55..64, bar from 60 to 109
  EXPECT_EQ(surface->Pixel(20, 56), kGreen);
  EXPECT_EQ(surface->Pixel(20, 70), kRed);
  EXPECT_EQ(surface->Pixel(20, 108), kRed);
  EXPECT_EQ(surface->Pixel(20, 50), kBlack);
  surface->SurfaceMouseDown(20, 15, left);
  EXPECT_EQ(effect.ValueOf(EditorTestEffect::kLevel), 1.0);
  surface->SurfaceDrag(20, 60, left);
  EXPECT_DOUBLE_EQ(effect.ValueOf(EditorTestEffect::kLevel), 0.5);
}

TEST_F(StockControls, AButtonDrawsItsImageOnlyAboveHalf) {
  const BitmapRef image = surface->Load(Solid(10, 8, kBlue), 1);
  auto* button = Add(std::make_unique<IButton>(&effect, EditorTestEffect::kLevel, 20, 20, image));
  button->SetGrayed(true); // grayed or not, the image goes on at full weight
  Attach();
  EXPECT_TRUE(SameRect(button->DrawRect(), Rect{20, 20, 30, 28}));
  effect.SetParameterFromHost(EditorTestEffect::kLevel, 0.5);
  PaintAll();
  EXPECT_EQ(surface->Pixel(25, 25), kBlack);
  effect.SetParameterFromHost(EditorTestEffect::kLevel, 0.51);
  PaintAll();
  EXPECT_EQ(surface->Pixel(25, 25), kBlue);
}

TEST_F(StockControls, AButtonClickTogglesAndARightClickOnlyPushes) {
  const BitmapRef image = surface->Load(Solid(10, 8, kBlue), 1);
  auto* button = Add(std::make_unique<IButton>(&effect, EditorTestEffect::kHold, 20, 20, image));
  Attach();
  surface->SurfaceMouseDown(25, 25, left);
  surface->SurfaceMouseUp(25, 25, left);
  EXPECT_EQ(effect.ValueOf(EditorTestEffect::kHold), 1.0);
  surface->SurfaceMouseDown(25, 25, right);
  surface->SurfaceMouseUp(25, 25, right);
  EXPECT_EQ(button->Value(), 1.0);
  surface->SurfaceMouseDown(25, 25, left);
  EXPECT_EQ(effect.ValueOf(EditorTestEffect::kHold), 0.0);
  EXPECT_EQ(effect.Calls("automate").size(), 3u);
}

TEST_F(StockControls, AHoldButtonPaintsWhileHeld) {
  const BitmapRef image = surface->Load(Solid(6, 6, kWhite), 1);
  Add(std::make_unique<IButtonHold>(&effect, EditorTestEffect::kHold, 0, 0, image));
  AddBackground(kBlack);
  Attach();
  PaintAll();
  EXPECT_EQ(surface->Pixel(3, 3), kBlack);
  surface->SurfaceMouseDown(3, 3, left);
  surface->Frame();
  EXPECT_EQ(surface->Pixel(3, 3), kWhite);
  surface->SurfaceMouseUp(3, 3, left);
  surface->Frame();
  EXPECT_EQ(surface->Pixel(3, 3), kBlack);
}

TEST_F(StockControls, RadioButtonsDrawOnlyTheSelectedPartOfTheStrip) {
  const BitmapRef row = surface->Load(Strip(20, 10, false, {kRed, kGreen, kBlue}), 3);
  Add(std::make_unique<IRadioButtons>(&effect, EditorTestEffect::kMode, 10, 10, row, true,
                                      IRadioButtons::kHorizontal, 0, 0, 0));
  const BitmapRef column = surface->Load(Strip(10, 10, true, {kRed, kGreen}), 2);
  Add(std::make_unique<IRadioButtons>(&effect, EditorTestEffect::kHold, 100, 10, column, true, 0, 0,
                                      0, 0));
  Attach();
  effect.SetParameterFromHost(EditorTestEffect::kMode, 0.5);
  effect.SetParameterFromHost(EditorTestEffect::kHold, 1.0);
  PaintAll();
  EXPECT_EQ(surface->Pixel(15, 15), kBlack);
  EXPECT_EQ(surface->Pixel(35, 15), kGreen);
  EXPECT_EQ(surface->Pixel(55, 15), kBlack);
  EXPECT_EQ(surface->Pixel(105, 15), kBlack);
  EXPECT_EQ(surface->Pixel(105, 25), kGreen);
}

TEST_F(StockControls, RadioButtonsWithoutAStripEachTakeTheWholeImage) {
  const BitmapRef image = surface->Load(Solid(10, 6, kBlue), 3);
  auto* radio = Add(std::make_unique<IRadioButtons>(&effect, EditorTestEffect::kMode, 10, 10, image,
                                                    false, IRadioButtons::kHorizontal, 0, 0, 0));
  Attach();
  EXPECT_TRUE(SameRect(radio->DrawRect(), Rect{10, 10, 40, 16}));
  EXPECT_TRUE(SameRect(radio->ButtonRects()[2], Rect{30, 10, 40, 16}));
  surface->SurfaceMouseDown(35, 12, left);
  EXPECT_EQ(effect.ValueOf(EditorTestEffect::kMode), 2.0);
  surface->Frame();
  EXPECT_EQ(surface->Pixel(35, 12), kBlue);
  EXPECT_EQ(surface->Pixel(15, 12), kBlack);
}

TEST_F(StockControls, TheLinkOpensItsAddressAndTheFallbackOnlyWhenThatFails) {
  auto* link = Add(std::make_unique<ILinkControl>(
      &effect, Rect{0, 0, 50, 20}, "https://example.org/plugins", "https://example.org", nullptr));
  const std::string longText(2000, 'x');
  auto* cut = Add(std::make_unique<ILinkControl>(&effect, Rect{60, 0, 100, 20}, "",
                                                 longText.c_str(), longText.c_str()));
  Attach();
  surface->webResults = {true};
  surface->SurfaceMouseDown(5, 5, left);
  surface->SurfaceMouseUp(5, 5, left);
  EXPECT_EQ(surface->webAddresses, (std::vector<std::string>{"https://example.org/plugins"}));
  surface->SurfaceMouseDown(5, 5, right);
  EXPECT_EQ(surface->webAddresses,
            (std::vector<std::string>{"https://example.org/plugins", "https://example.org/plugins",
                                      "https://example.org"}));
  EXPECT_STREQ(link->Title(), "");

  surface->webAddresses.clear();
  surface->SurfaceMouseDown(70, 5, left);
  ASSERT_EQ(surface->webAddresses.size(), 1u) << "an empty address is not tried";
  EXPECT_EQ(surface->webAddresses[0].size(), 255u);
  EXPECT_EQ(std::strlen(cut->Title()), 1023u);
  EXPECT_TRUE(effect.calls.empty());
}

} // namespace
} // namespace quorvane::test
