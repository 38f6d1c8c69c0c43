// The value rules and the redraw handshake of the control base.

#include "tests/editor/EditorFixture.h"
#include "tests/editor/ProbeControl.h"

#include <cmath>
#include <limits>

namespace quorvane::test {
namespace {

using ControlBase = EditorFixture;

TEST_F(ControlBase, FirstPlugValueBecomesTheDefaultAndIsShownEvenWhenEqual) {
  ProbeControl control(&effect, Rect{0, 0, 10, 10}, EditorTestEffect::kLevel);
  control.MarkClean();
  EXPECT_FALSE(control.NeedsRedraw());

  control.AcceptPlugValue(0.0); // equals the initial value, still the first
  EXPECT_EQ(control.DefaultValue(), 0.0);
  EXPECT_TRUE(control.NeedsRedraw());
  EXPECT_TRUE(control.IsRedrawPending());

  control.MarkClean();
  control.MarkClean();
  control.AcceptPlugValue(0.0); // now an unchanged value: nothing
  EXPECT_FALSE(control.NeedsRedraw());

  control.AcceptPlugValue(0.7);
  EXPECT_EQ(control.Value(), 0.7);
  EXPECT_EQ(control.DefaultValue(), 0.0);
  EXPECT_TRUE(control.NeedsRedraw());
  EXPECT_TRUE(effect.calls.empty()) << "plug-in values are never pushed back";
}

TEST_F(ControlBase, RedrawHandshakeKeepsAChangedControlDirtyForTwoFrames) {
  ProbeControl control(&effect, Rect{0, 0, 10, 10}, EditorTestEffect::kLevel);
  control.AcceptPlugValue(0.3);
  control.MarkClean();
  EXPECT_TRUE(control.NeedsRedraw());
  control.MarkClean();
  EXPECT_FALSE(control.NeedsRedraw());

  control.MarkDirty(false); // no pending redraw: one frame only
  control.MarkClean();
  EXPECT_FALSE(control.NeedsRedraw());
}

TEST_F(ControlBase, MarkDirtyClampsBeforePushingAndTurnsNaNIntoTheLowBound) {
  auto* control =
      Add(std::make_unique<ProbeControl>(&effect, Rect{0, 0, 10, 10}, EditorTestEffect::kLevel));
  Attach();
  control->Set(1.7);
  control->MarkDirty(true);
  EXPECT_EQ(control->Value(), 1.0);
  control->Set(-3.0);
  control->MarkDirty(true);
  EXPECT_EQ(control->Value(), 0.0);
  control->SetClamp(0.25, 0.75);
  control->Set(std::numeric_limits<double>::quiet_NaN());
  control->MarkDirty(true);
  EXPECT_EQ(control->Value(), 0.25);
  const auto pushed = effect.Calls("automate");
  ASSERT_EQ(pushed.size(), 3u);
  EXPECT_EQ(pushed[0].value, 1.0);
  EXPECT_EQ(pushed[1].value, 0.0);
  EXPECT_EQ(pushed[2].value, 0.25);
  EXPECT_EQ(effect.ValueOf(EditorTestEffect::kLevel), 0.25);
}

TEST_F(ControlBase, UserValuesArePushedAndPromptEndsPushOnceMore) {
  auto* control =
      Add(std::make_unique<ProbeControl>(&effect, Rect{0, 0, 10, 10}, EditorTestEffect::kGain));
  Attach();
  control->AcceptUserValue(0.75);
  EXPECT_EQ(effect.ValueOf(EditorTestEffect::kGain), 6.0);
  EXPECT_TRUE(control->IsRedrawPending());
  control->FinishUserEdit();
  const auto pushed = effect.Calls("automate");
  ASSERT_EQ(pushed.size(), 2u);
  EXPECT_EQ(pushed[1].value, 0.75);
}

TEST_F(ControlBase, WheelStepsAreOneHundredthOrOneThousandthAndClamped) {
  auto* control =
      Add(std::make_unique<ProbeControl>(&effect, Rect{0, 0, 10, 10}, EditorTestEffect::kLevel));
  Attach();
  control->HandleWheel(0, 0, none, 2);
  EXPECT_NEAR(control->Value(), 0.52, 1e-12);
  control->HandleWheel(0, 0, MouseMods{false, false, true, false, false}, 2);
  EXPECT_NEAR(control->Value(), 0.522, 1e-12);
  control->HandleWheel(0, 0, MouseMods{false, false, false, true, false}, -2);
  EXPECT_NEAR(control->Value(), 0.52, 1e-12);
  control->HandleWheel(0, 0, none, 1000);
  EXPECT_EQ(control->Value(), 1.0);
  control->HandleWheel(0, 0, none, std::numeric_limits<int>::min());
  EXPECT_EQ(control->Value(), 0.0);
  control->HandleWheel(0, 0, none, std::numeric_limits<int>::max());
  EXPECT_EQ(control->Value(), 1.0);
  EXPECT_EQ(effect.ValueOf(EditorTestEffect::kLevel), 1.0);
}

TEST_F(ControlBase, DoubleClickRestoresOnlyAValueTheControlReceived) {
  ProbeControl fresh(&effect, Rect{0, 0, 10, 10}, EditorTestEffect::kLevel);
  fresh.Set(0.9);
  fresh.HandleDoubleClick(1, 1, left);
  EXPECT_EQ(fresh.Value(), 0.9);
  EXPECT_TRUE(effect.calls.empty());

  fresh.AcceptPlugValue(0.4);
  fresh.Set(0.9);
  fresh.HandleDoubleClick(1, 1, left);
  EXPECT_EQ(fresh.Value(), 0.4);
  EXPECT_EQ(effect.ValueOf(EditorTestEffect::kLevel), 0.4);
}

TEST_F(ControlBase, ControlWithoutParameterNeverPushesAndIgnoresRightClick) {
  auto* unbound = Add(std::make_unique<ProbeControl>(&effect, Rect{0, 0, 10, 10}, -1));
  auto* outOfRange = Add(std::make_unique<ProbeControl>(&effect, Rect{0, 0, 10, 10}, 99));
  Attach();
  for (ProbeControl* control : {unbound, outOfRange}) {
    control->HandleWheel(0, 0, none, 3);
    control->AcceptUserValue(0.5);
    control->FinishUserEdit();
    control->HandleMouseDown(1, 1, right);
    EXPECT_EQ(control->Param(), nullptr);
  }
  // Through the surface too: the host hears no gesture for an unknown index.
  surface->SurfaceMouseDown(5, 5, right);
  surface->SurfaceMouseUp(5, 5, right);
  surface->SurfaceWheel(5, 5, none, 1);
  EXPECT_TRUE(effect.calls.empty());
  EXPECT_TRUE(surface->prompts.empty());
  EXPECT_EQ(effect.ValueOf(EditorTestEffect::kLevel), 0.5);

  // No value pushed for "no parameter" reaches a control that has none.
  const double before = unbound->Value();
  surface->PushParamToControls(-1, before == 0.75 ? 0.25 : 0.75, true);
  EXPECT_EQ(unbound->Value(), before);
}

TEST_F(ControlBase, RightClickAsksTheWindowForTheLinkedParameter) {
  auto* control =
      Add(std::make_unique<ProbeControl>(&effect, Rect{0, 0, 10, 10}, EditorTestEffect::kMode));
  Attach();
  control->MarkClean();
  control->MarkClean();
  control->HandleMouseDown(1, 1, right);
  ASSERT_EQ(surface->prompts.size(), 1u);
  EXPECT_EQ(surface->prompts[0].control, control);
  EXPECT_EQ(surface->prompts[0].param, effect.Param(EditorTestEffect::kMode));
  EXPECT_TRUE(control->IsRedrawPending());

  control->HandleMouseDown(1, 1, left);
  EXPECT_EQ(surface->prompts.size(), 1u);
}

TEST_F(ControlBase, AControlOfAPlugInWithoutEditorCannotPrompt) {
  ProbeControl control(&effect, Rect{0, 0, 10, 10}, EditorTestEffect::kMode);
  control.AskUserText();
  EXPECT_FALSE(control.IsRedrawPending());
  ProbeControl orphan(nullptr, Rect{0, 0, 10, 10}, 0);
  orphan.AskUserText();
  orphan.AcceptUserValue(0.3);
  EXPECT_EQ(orphan.Value(), 0.3);
}

TEST_F(ControlBase, HiddenAndGrayedFlagsAskForRedrawAndGrayingDimsTheBlend) {
  ProbeControl control(&effect, Rect{0, 0, 10, 10}, -1);
  control.MarkClean();
  control.SetHidden(true);
  EXPECT_TRUE(control.IsHidden());
  EXPECT_TRUE(control.NeedsRedraw());
  EXPECT_TRUE(control.IsRedrawPending());

  control.SetGrayed(true);
  EXPECT_FLOAT_EQ(control.GetBlend().weight, 0.25f);
  control.SetGrayed(false);
  EXPECT_FLOAT_EQ(control.GetBlend().weight, 1.0f);
}

TEST_F(ControlBase, HitTestIsHalfOpen) {
  ProbeControl control(&effect, Rect{10, 20, 30, 40}, -1);
  EXPECT_TRUE(control.HitTest(10, 20));
  EXPECT_TRUE(control.HitTest(29, 39));
  EXPECT_FALSE(control.HitTest(30, 25));
  EXPECT_FALSE(control.HitTest(15, 40));
  EXPECT_FALSE(control.HitTest(9, 25));
  EXPECT_FALSE(control.HitTest(std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

} // namespace
} // namespace quorvane::test
