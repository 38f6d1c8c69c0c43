// Mouse, wheel and prompt scenarios driven through the surface's entry points
// as the window drives them; results read from the plug-in's parameters and
// from the recorded host calls.

#include "tests/editor/EditorFixture.h"
#include "tests/editor/ProbeControl.h"
#include "tests/editor/TestImages.h"

#include "editor/IButtonHold.h"
#include "editor/IKnobRotVal.h"
#include "editor/IRadioButtons.h"
#include "editor/ISwitchControl.h"

#include <limits>

namespace quorvane::test {
namespace {

constexpr int kIntMax = std::numeric_limits<int>::max();
constexpr int kIntMin = std::numeric_limits<int>::min();

class Interaction : public EditorFixture {
protected:
  // A vertical knob on Level: pivot (40, 40), a 20 x 20 frame, text line 10
  // pixels at a gap of 5: rectangle 30, 30, 50, 65 (35 pixels high).
  IKnobRotVal* AddKnob(std::int32_t param = EditorTestEffect::kLevel) {
    TextStyle style;
    style.size = 10;
    const BitmapRef image = surface->Load(Strip(20, 20, false, {kRed, kClear}), 2);
    return Add(std::make_unique<IKnobRotVal>(&effect, param, 40, 40, image, style, 5, 300, 4.0, 0,
                                             IKnobControl::kVertical));
  }

  std::vector<HostCall> Gestures() const {
    std::vector<HostCall> kept;
    for (const HostCall& call : effect.calls)
      if (call.what != "automate") kept.push_back(call);
    return kept;
  }
};

TEST_F(Interaction, DraggingAKnobUpRaisesAndDownLowersTenTimesFinerWithAModifier) {
  IKnobRotVal* knob = AddKnob();
  Attach();
  ASSERT_TRUE(SameRect(knob->DrawRect(), Rect{30, 30, 50, 65}));

  surface->SurfaceMouseDown(40, 50, left);
  surface->SurfaceDrag(40, 15, left); // up by the knob's height: a quarter of the range
  EXPECT_DOUBLE_EQ(effect.ValueOf(EditorTestEffect::kLevel), 0.75);
  surface->SurfaceDrag(40, 85, left); // down by twice that
  EXPECT_DOUBLE_EQ(effect.ValueOf(EditorTestEffect::kLevel), 0.25);
  surface->SurfaceDrag(60, 85, left); // sideways: a vertical knob does not move
  EXPECT_DOUBLE_EQ(knob->Value(), 0.25);
  surface->SurfaceMouseUp(60, 85, left);

  surface->SurfaceMouseDown(40, 50, leftShift);
  surface->SurfaceDrag(40, 15, leftShift);
  EXPECT_NEAR(effect.ValueOf(EditorTestEffect::kLevel), 0.275, 1e-12);
  surface->SurfaceDrag(40, 50, leftCtrl);
  EXPECT_NEAR(effect.ValueOf(EditorTestEffect::kLevel), 0.25, 1e-12);
  surface->SurfaceMouseUp(40, 50, left);

  EXPECT_EQ(Gestures(),
            (std::vector<HostCall>{
                {"begin", 0, 0.0}, {"end", 0, 0.0}, {"begin", 0, 0.0}, {"end", 0, 0.0}}));
}

TEST_F(Interaction, ADragThatLeavesTheControlKeepsGoingToItAndItsReleaseIsDelivered) {
  auto* other =
      Add(std::make_unique<ProbeControl>(&effect, Rect{0, 100, 200, 120}, EditorTestEffect::kGain));
  IKnobRotVal* knob = AddKnob();
  Attach();
  surface->SurfaceMouseDown(35, 35, left);
  surface->SurfaceDrag(150, 110, left); // over the other control
  EXPECT_EQ(surface->CaptureIndex(), 1);
  EXPECT_DOUBLE_EQ(knob->Value(), 0.0);
  surface->SurfaceDrag(-5000, -5000, left); // far outside the editor, upwards
  EXPECT_DOUBLE_EQ(knob->Value(), 1.0);
  surface->SurfaceMouseUp(150, 110, left);
  EXPECT_EQ(surface->CaptureIndex(), IEditorSurface::kNone);
  EXPECT_TRUE(other->events.empty());
  EXPECT_EQ(Gestures(), (std::vector<HostCall>{{"begin", 0, 0.0}, {"end", 0, 0.0}}));
  EXPECT_EQ(effect.ValueOf(EditorTestEffect::kGain), 0.0);
}

TEST_F(Interaction, DragWithoutCaptureOrWithoutMovementDoesNothing) {
  auto* probe = Add(std::make_unique<ProbeControl>(&effect, Rect{0, 0, 50, 50}, -1));
  Attach();
  surface->SurfaceDrag(10, 10, left);
  EXPECT_TRUE(probe->events.empty());
  surface->SurfaceMouseDown(10, 10, left);
  surface->SurfaceDrag(10, 10, left);
  surface->SurfaceDrag(12, 9, left);
  surface->SurfaceDrag(kIntMax, kIntMin, left); // saturates instead of overflowing
  EXPECT_EQ(probe->events,
            (std::vector<std::string>{"down 10 10", "drag 2 -1", "drag 2147483635 -2147483648"}));
}

TEST_F(Interaction, TwoWheelNotchesAreOneGestureThatEndsAfterTheCountdown) {
  AddKnob();
  Attach();
  surface->SurfaceWheel(40, 40, none, 1);
  surface->SurfaceWheel(40, 40, none, 1);
  EXPECT_NEAR(effect.ValueOf(EditorTestEffect::kLevel), 0.52, 1e-12);
  EXPECT_EQ(surface->countdownStarts, (std::vector<std::int32_t>{12, 12}));
  EXPECT_EQ(Gestures(), (std::vector<HostCall>{{"begin", 0, 0.0}}));
  for (int tick = 0; tick < 11; ++tick)
    surface->Tick();
  EXPECT_TRUE(effect.Calls("end").empty());
  surface->Tick();
  EXPECT_EQ(Gestures(), (std::vector<HostCall>{{"begin", 0, 0.0}, {"end", 0, 0.0}}));
  for (int tick = 0; tick < 30; ++tick)
    surface->Tick();
  EXPECT_EQ(effect.Calls("end").size(), 1u);

  surface->SurfaceWheel(40, 40, leftCtrl, 2);
  EXPECT_NEAR(effect.ValueOf(EditorTestEffect::kLevel), 0.522, 1e-12);
  surface->SurfaceWheel(40, 40, leftShift, -1);
  EXPECT_NEAR(effect.ValueOf(EditorTestEffect::kLevel), 0.521, 1e-12);
}

TEST_F(Interaction, WheelCountdownFollowsTheFrameRate) {
  for (const auto& [rate, ticks] : {std::pair{0, 12}, {10, 5}, {1, 1}, {-3, 12}}) {
    EditorTestEffect plug;
    auto made = std::make_unique<TestSurface>(&plug, 100, 100, rate);
    TestSurface* s = made.get();
    s->AddControl(std::make_unique<ProbeControl>(&plug, Rect{0, 0, 100, 100}, 0));
    plug.AttachEditor(std::move(made));
    s->SurfaceWheel(5, 5, none, 1);
    EXPECT_EQ(s->countdownStarts, (std::vector<std::int32_t>{ticks})) << rate;
  }
}

TEST_F(Interaction, WheelOfAnySizeIsClampedAndAPressElsewhereEndsThePendingGesture) {
  AddKnob();
  auto* toggle =
      Add(std::make_unique<ProbeControl>(&effect, Rect{100, 0, 150, 50}, EditorTestEffect::kComp));
  Attach();
  surface->SurfaceWheel(40, 40, none, kIntMax);
  EXPECT_EQ(effect.ValueOf(EditorTestEffect::kLevel), 1.0);
  surface->SurfaceWheel(40, 40, none, kIntMin);
  EXPECT_EQ(effect.ValueOf(EditorTestEffect::kLevel), 0.0);
  surface->SurfaceWheel(40, 40, none, 0);
  EXPECT_EQ(effect.ValueOf(EditorTestEffect::kLevel), 0.0);

  surface->SurfaceMouseDown(120, 10, left);
  EXPECT_EQ(surface->countdown, 0) << "the countdown is disarmed";
  surface->SurfaceMouseUp(120, 10, left);
  EXPECT_EQ(Gestures(),
            (std::vector<HostCall>{
                {"begin", 0, 0.0}, {"end", 0, 0.0}, {"begin", 3, 0.0}, {"end", 3, 0.0}}));
  EXPECT_EQ(toggle->events.size(), 2u);
}

TEST_F(Interaction, DoubleClickRestoresTheFirstValueThePlugInGave) {
  IKnobRotVal* knob = AddKnob();
  Attach();
  effect.SetParameterFromHost(EditorTestEffect::kLevel, 0.9); // not the first value any more
  surface->SurfaceMouseDown(40, 40, left);
  surface->SurfaceDrag(40, 30, left);
  surface->SurfaceMouseUp(40, 30, left);
  effect.calls.clear();

  EXPECT_FALSE(surface->SurfaceDoubleClick(40, 40, left));
  EXPECT_DOUBLE_EQ(knob->Value(), 0.5);
  EXPECT_DOUBLE_EQ(effect.ValueOf(EditorTestEffect::kLevel), 0.5);
  surface->SurfaceMouseUp(40, 40, left);
  EXPECT_EQ(effect.calls,
            (std::vector<HostCall>{{"begin", 0, 0.0}, {"automate", 0, 0.5}, {"end", 0, 0.0}}));
}

TEST_F(Interaction, DoubleClickAsSecondPressCapturesTheMouse) {
  auto* probe = Add(std::make_unique<ProbeControl>(&effect, Rect{0, 0, 50, 50}, 0));
  probe->SetDblClickAsDown(true);
  Attach();
  EXPECT_TRUE(surface->SurfaceDoubleClick(5, 5, left));
  EXPECT_EQ(surface->CaptureIndex(), 0);
  surface->SurfaceDrag(7, 5, left);
  surface->SurfaceMouseUp(70, 70, left);
  EXPECT_EQ(probe->events, (std::vector<std::string>{"down 5 5", "drag 2 0", "up 70 70"}));
  EXPECT_FALSE(surface->SurfaceDoubleClick(70, 70, left)) << "no control there";
}

TEST_F(Interaction, EveryMouseGestureBeginGetsExactlyOneEnd) {
  Add(std::make_unique<ProbeControl>(&effect, Rect{0, 0, 50, 50}, EditorTestEffect::kLevel));
  Add(std::make_unique<ProbeControl>(&effect, Rect{50, 0, 100, 50}, EditorTestEffect::kGain));
  Attach();
  // Double-click on one control, release over the other: the begun gesture ends.
  surface->SurfaceDoubleClick(10, 10, left);
  surface->SurfaceMouseUp(60, 10, left);
  // A second press before the release ends the first gesture before the next.
  surface->SurfaceMouseDown(10, 10, left);
  surface->SurfaceMouseDown(60, 10, right);
  surface->SurfaceMouseUp(60, 10, right);
  // A release with no press before it begins and ends nothing.
  surface->SurfaceMouseUp(10, 10, left);
  EXPECT_EQ(Gestures(), (std::vector<HostCall>{{"begin", 0, 0.0},
                                               {"end", 0, 0.0},
                                               {"begin", 0, 0.0},
                                               {"end", 0, 0.0},
                                               {"begin", 5, 0.0},
                                               {"end", 5, 0.0}}));
}

TEST_F(Interaction, ASwitchCyclesThroughItsStates) {
  const BitmapRef three = surface->Load(Strip(10, 10, true, {kRed, kGreen, kBlue}), 3);
  const BitmapRef two = surface->Load(Strip(10, 10, true, {kRed, kGreen}), 2);
  auto* comp =
      Add(std::make_unique<ISwitchControl>(&effect, 0, 0, EditorTestEffect::kComp, three, true));
  auto* hold =
      Add(std::make_unique<ISwitchControl>(&effect, 20, 0, EditorTestEffect::kHold, two, true));
  Attach();
  EXPECT_TRUE(SameRect(comp->DrawRect(), Rect{0, 0, 10, 10}));
  std::vector<double> seen;
  for (int click = 0; click < 4; ++click) {
    surface->SurfaceMouseDown(5, 5, left);
    surface->SurfaceMouseUp(5, 5, left);
    seen.push_back(effect.ValueOf(EditorTestEffect::kComp));
  }
  EXPECT_EQ(seen, (std::vector<double>{1.0, 2.0, 0.0, 1.0}));

  seen.clear();
  for (int click = 0; click < 3; ++click) {
    surface->SurfaceMouseDown(25, 5, left);
    surface->SurfaceMouseUp(25, 5, left);
    seen.push_back(hold->Value());
  }
  EXPECT_EQ(seen, (std::vector<double>{1.0, 0.0, 1.0}));

  surface->SurfaceMouseDown(5, 5, right); // asks for a value, does not step
  surface->SurfaceMouseUp(5, 5, right);
  EXPECT_EQ(effect.ValueOf(EditorTestEffect::kComp), 1.0);
  EXPECT_EQ(surface->prompts.size(), 1u);
}

TEST_F(Interaction, ARadioClickOnTheThirdOfThreeButtonsGivesOne) {
  const BitmapRef row = surface->Load(Strip(24, 13, false, {kRed, kGreen, kBlue}), 3);
  auto* radio = Add(std::make_unique<IRadioButtons>(&effect, EditorTestEffect::kMode, 100, 20, row,
                                                    true, IRadioButtons::kHorizontal, 0, 0, 0));
  Attach();
  const auto& buttons = radio->ButtonRects();
  ASSERT_EQ(buttons.size(), 3u);
  EXPECT_TRUE(SameRect(buttons[0], Rect{100, 20, 124, 33}));
  EXPECT_TRUE(SameRect(buttons[1], Rect{124, 20, 148, 33}));
  EXPECT_TRUE(SameRect(buttons[2], Rect{148, 20, 172, 33}));

  surface->SurfaceMouseDown(150, 25, left);
  EXPECT_EQ(radio->Value(), 1.0);
  EXPECT_EQ(effect.ValueOf(EditorTestEffect::kMode), 2.0);
  surface->SurfaceMouseUp(150, 25, left);
  surface->SurfaceMouseDown(123, 32, left);
  EXPECT_EQ(effect.ValueOf(EditorTestEffect::kMode), 0.0);
  surface->SurfaceMouseUp(123, 32, left);
  surface->SurfaceMouseDown(130, 25, right);
  EXPECT_EQ(effect.ValueOf(EditorTestEffect::kMode), 0.0);
  EXPECT_EQ(surface->prompts.size(), 1u);
}

TEST_F(Interaction, RadioButtonSizesAndASingleButton) {
  const BitmapRef four = surface->Load(Strip(10, 10, true, {kRed, kGreen, kBlue, kGrey}), 4);
  IRadioButtons sized(&effect, 0, 0, 0, four, true, 0, 5, 10, 12);
  std::vector<std::int32_t> tops;
  for (const Rect& r : sized.ButtonRects())
    tops.push_back(r.top);
  EXPECT_EQ(tops, (std::vector<std::int32_t>{0, 5, 15, 27}));
  EXPECT_EQ(sized.ButtonRects()[3].bottom, 40) << "the last takes what is left";
  IRadioButtons automatic(&effect, 0, 0, 0, four, true, 0, 0, 0, 0);
  EXPECT_EQ(automatic.ButtonRects()[2].top, 20);
  EXPECT_EQ(automatic.ButtonRects()[3].bottom, 40);

  const BitmapRef one = surface->Load(Solid(30, 10, kRed), 1);
  auto* single = Add(std::make_unique<IRadioButtons>(&effect, EditorTestEffect::kGain, 0, 50, one,
                                                     true, IRadioButtons::kHorizontal, 0, 0, 0));
  Attach();
  surface->SurfaceMouseDown(10, 55, left);
  EXPECT_EQ(single->Value(), 0.0);
  EXPECT_EQ(effect.ValueOf(EditorTestEffect::kGain), -12.0);
}

TEST_F(Interaction, AHoldButtonReadsOneExactlyWhileHeldAlsoWhenReleasedOutside) {
  const BitmapRef image = surface->Load(Solid(15, 15, kWhite), 1);
  Add(std::make_unique<IButtonHold>(&effect, EditorTestEffect::kHold, 10, 10, image));
  Attach();
  surface->SurfaceMouseDown(12, 12, left);
  EXPECT_EQ(effect.ValueOf(EditorTestEffect::kHold), 1.0);
  surface->SurfaceDrag(100, 100, left);
  EXPECT_EQ(effect.ValueOf(EditorTestEffect::kHold), 1.0);
  surface->SurfaceMouseUp(-40, 500, left);
  EXPECT_EQ(effect.ValueOf(EditorTestEffect::kHold), 0.0);
  EXPECT_EQ(effect.calls,
            (std::vector<HostCall>{
                {"begin", 4, 0.0}, {"automate", 4, 1.0}, {"automate", 4, 0.0}, {"end", 4, 0.0}}));
  effect.calls.clear();
  surface->SurfaceMouseDown(12, 12, right);
  EXPECT_EQ(effect.ValueOf(EditorTestEffect::kHold), 0.0);
}

TEST_F(Interaction, HitsGoToTheTopmostControlThatIsNeitherHiddenNorGrayed) {
  auto* bottom = Add(std::make_unique<ProbeControl>(&effect, Rect{0, 0, 100, 100}, -1));
  auto* top = Add(std::make_unique<ProbeControl>(&effect, Rect{20, 20, 40, 40}, -1));
  Attach();
  EXPECT_EQ(surface->HitControl(25, 25), 1);
  top->SetGrayed(true);
  EXPECT_EQ(surface->HitControl(25, 25), 0);
  top->SetGrayed(false);
  top->SetHidden(true);
  EXPECT_EQ(surface->HitControl(25, 25), 0);
  EXPECT_EQ(surface->HitControl(100, 50), IEditorSurface::kNone);
  for (auto [x, y] : {std::pair{-1, -1}, {kIntMin, kIntMin}, {kIntMax, kIntMax}, {kIntMin, 50}}) {
    surface->SurfaceMouseDown(x, y, left);
    surface->SurfaceMouseUp(x, y, left);
    surface->SurfaceWheel(x, y, none, 3);
    surface->SurfaceKey(x, y, 4);
    EXPECT_FALSE(surface->SurfaceDoubleClick(x, y, left));
  }
  EXPECT_TRUE(bottom->events.empty());
  EXPECT_TRUE(effect.calls.empty());
}

TEST_F(Interaction, KeysGoToTheControlUnderThePointerOrTheCapturingOne) {
  auto* a = Add(std::make_unique<ProbeControl>(&effect, Rect{0, 0, 50, 50}, -1));
  auto* b = Add(std::make_unique<ProbeControl>(&effect, Rect{50, 0, 100, 50}, -1));
  Attach();
  surface->SurfaceKey(10, 10, 1);
  surface->SurfaceMouseDown(10, 10, left);
  surface->SurfaceKey(60, 10, 2);
  EXPECT_EQ(a->events, (std::vector<std::string>{"key 1 0", "down 10 10", "key 2 0"}));
  EXPECT_TRUE(b->events.empty());
}

TEST_F(Interaction, HoverIsTrackedOnlyWhenWantedAndLeaveReachesEveryControl) {
  auto* a = Add(std::make_unique<ProbeControl>(&effect, Rect{0, 0, 50, 50}, -1));
  auto* b = Add(std::make_unique<ProbeControl>(&effect, Rect{50, 0, 100, 50}, -1));
  Attach();
  EXPECT_FALSE(surface->SurfaceHover(10, 10, none));
  EXPECT_TRUE(a->events.empty());

  surface->SetTrackHover(true);
  EXPECT_TRUE(surface->SurfaceHover(10, 10, none));
  EXPECT_TRUE(surface->SurfaceHover(60, 10, none));
  EXPECT_TRUE(surface->SurfaceHover(150, 10, none));
  EXPECT_EQ(surface->HoverIndex(), 1);
  surface->SurfaceLeave();
  EXPECT_EQ(surface->HoverIndex(), IEditorSurface::kNone);
  EXPECT_EQ(a->events, (std::vector<std::string>{"hover 10 10", "leave", "leave"}));
  EXPECT_EQ(b->events, (std::vector<std::string>{"hover 60 10", "leave"}));
}

TEST_F(Interaction, APromptTextBecomesTheValueInsideOneGesture) {
  auto* mode =
      Add(std::make_unique<ProbeControl>(&effect, Rect{0, 0, 50, 50}, EditorTestEffect::kMode));
  auto* gain =
      Add(std::make_unique<ProbeControl>(&effect, Rect{50, 0, 100, 50}, EditorTestEffect::kGain));
  Attach();
  surface->ApplyPromptText(mode, effect.Param(EditorTestEffect::kMode), "Bandpass");
  EXPECT_EQ(effect.ValueOf(EditorTestEffect::kMode), 2.0);
  surface->ApplyPromptText(gain, effect.Param(EditorTestEffect::kGain), "6 dB");
  EXPECT_EQ(effect.ValueOf(EditorTestEffect::kGain), 6.0);
  surface->ApplyPromptText(gain, effect.Param(EditorTestEffect::kGain), "1e999");
  EXPECT_EQ(effect.ValueOf(EditorTestEffect::kGain), 12.0);
  surface->ApplyPromptText(gain, effect.Param(EditorTestEffect::kGain), nullptr);
  EXPECT_EQ(effect.ValueOf(EditorTestEffect::kGain), 0.0);
  surface->ApplyPromptText(nullptr, effect.Param(EditorTestEffect::kGain), "3");
  surface->ApplyPromptText(gain, nullptr, "3");
  EXPECT_EQ(effect.ValueOf(EditorTestEffect::kGain), 0.0);
  EXPECT_EQ(effect.calls[0], (HostCall{"begin", 1, 0.0}));
  EXPECT_EQ(effect.calls[1], (HostCall{"automate", 1, 1.0}));
  EXPECT_EQ(effect.calls[2], (HostCall{"end", 1, 0.0}));
  EXPECT_EQ(effect.calls.size(), 12u);
}

TEST_F(Interaction, ResizingDestroysTheControlsAndTellsThePlugIn) {
  Add(std::make_unique<ProbeControl>(&effect, Rect{0, 0, 50, 50}, EditorTestEffect::kLevel));
  Attach();
  surface->SurfaceMouseDown(10, 10, left);
  surface->ResizeEditor(300, 150);
  EXPECT_EQ(surface->ControlCount(), 0);
  EXPECT_EQ(surface->CaptureIndex(), IEditorSurface::kNone);
  EXPECT_EQ(surface->EditorWidth(), 300);
  EXPECT_EQ(surface->BackBuffer()->Width(), 300);
  EXPECT_EQ(effect.editorRectUpdates, 1);
  EXPECT_EQ(Gestures(), (std::vector<HostCall>{{"begin", 0, 0.0}, {"end", 0, 0.0}}));
  surface->SurfaceMouseUp(10, 10, left);
  surface->SurfaceDrag(20, 20, left);
  EXPECT_EQ(effect.calls.size(), 2u);
}

} // namespace
} // namespace quorvane::test
