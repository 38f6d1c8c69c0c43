// The editor in a real window under a real message loop: what the host
// sets shows on screen, real mouse and key messages change parameters with
// the right host gestures, prompts take typed and picked values, and
// windows and GDI objects come and go cleanly.

#include "tests/editor_win32/EditorTestRig.h"

#include "editor/IControl.h"
#include "effect/EditorGeometry.h"
#include "effect/EditorImages.h"
#include "effect/ProcessingState.h"
#include "raster/RasterBitmap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

using namespace quorvane;

namespace {

using P = VSTCLASS;
using namespace editor_geometry;

// The background image, from the resources as the editor loads it.
std::unique_ptr<RasterBitmap> Background(EditorTestRig& rig) {
#define QUORVANE_LOAD_BACKGROUND(name, id, file, frames)                                           \
  if (std::string(#name) == "Background") return rig.Editor()->BitmapFromResource(id, "img"        \
                                                                                      "/" file);
  QUORVANE_EDITOR_IMAGES(QUORVANE_LOAD_BACKGROUND)
#undef QUORVANE_LOAD_BACKGROUND
  return nullptr;
}

class EditorWindowTest : public ::testing::Test {
protected:
  void SetUp() override {
    rig.CreatePlugin();
    ASSERT_TRUE(rig.OpenEditor());
    rig.Pump();
  }

  EditorTestRig rig;
};

TEST_F(EditorWindowTest, ReportsItsSizeAndPaintsTheBackground) {
  ERect* rect = nullptr;
  ASSERT_EQ(rig.Record()->dispatcher(rig.Record(), effEditGetRect, 0, 0, &rect, 0.0f), 1);
  EXPECT_EQ(rect->right - rect->left, 507);
  EXPECT_EQ(rect->bottom - rect->top, 248);
  EXPECT_NE(rig.Record()->flags & effFlagsHasEditor, 0);

  HWND editor = rig.EditorWindow();
  ASSERT_NE(editor, nullptr);
  char name[64] = {};
  GetClassNameA(editor, name, sizeof(name));
  EXPECT_STREQ(name, "QuorvaneWndClass");
  EXPECT_EQ(GetParent(editor), rig.Frame().Frame());

  // Away from every control the screen shows the background image itself.
  std::unique_ptr<RasterBitmap> background = Background(rig);
  ASSERT_NE(background, nullptr);
  const WindowPixels shot = rig.Capture();
  ASSERT_EQ(shot.width, 507);
  ASSERT_EQ(shot.height, 248);
  int same = 0;
  int checked = 0;
  for (int y = 60; y < 100; y += 3) {
    for (int x = 10; x < 190; x += 7) {
      const std::uint32_t* row =
          background->Pixels() + static_cast<std::ptrdiff_t>(y) * background->RowStride();
      ++checked;
      if ((row[x] & 0xFFFFFFu) == shot.At(x, y)) ++same;
    }
  }
  EXPECT_EQ(same, checked);
}

TEST_F(EditorWindowTest, HostChangesShowWithinAFewFrames) {
  struct Case {
    int param;
    float low;
    float high;
  };
  const Case cases[] = {
      {P::kParamFilterFreq, 0.0f, 1.0f},      {P::kParamFilterMix, 0.0f, 1.0f},
      {P::kParamEnvAttack, 0.1f, 0.9f},       {P::kParamEnvVolCompensation, 0.0f, 1.0f},
      {P::kParamEnvCompensation, 0.0f, 1.0f}, {P::kParamFilterType, 0.0f, 1.0f},
      {P::kParamEnvTarget, 0.0f, 1.0f},       {P::kParamEnvDirection, 0.0f, 1.0f},
  };
  for (const Case& c : cases) {
    const Rect area = rig.ControlRect(c.param);
    rig.SetParameter(c.param, c.low);
    rig.Pump();
    const WindowPixels low = rig.Capture();
    rig.SetParameter(c.param, c.high);
    rig.Pump();
    const WindowPixels high = rig.Capture();
    EXPECT_TRUE(RegionDiffers(low, high, area)) << "parameter " << c.param;
    rig.SetParameter(c.param, c.low);
    rig.Pump();
    EXPECT_FALSE(RegionDiffers(low, rig.Capture(), area)) << "parameter " << c.param;
  }
}

TEST_F(EditorWindowTest, DirectionUpShowsOnlyTheBackground) {
  rig.SetParameter(P::kParamEnvDirection, 0.0f);
  rig.Pump();
  const WindowPixels up = rig.Capture();
  std::unique_ptr<RasterBitmap> background = Background(rig);
  ASSERT_NE(background, nullptr);
  const Rect direction = rig.ControlRect(P::kParamEnvDirection);
  for (int y = direction.top; y < direction.bottom; ++y) {
    const std::uint32_t* row =
        background->Pixels() + static_cast<std::ptrdiff_t>(y) * background->RowStride();
    for (int x = direction.left; x < direction.right; ++x)
      ASSERT_EQ(row[x] & 0xFFFFFFu, up.At(x, y)) << x << "," << y;
  }
}

TEST_F(EditorWindowTest, DraggingAKnobAutomatesInsideOneGesture) {
  rig.SetParameter(P::kParamFilterFreq, 0.5f);
  rig.Pump();
  rig.ClearHostCalls();
  rig.Drag(kFilterFreqKnob.x, kFilterFreqKnob.y, 0, -40);
  EXPECT_GT(rig.GetParameter(P::kParamFilterFreq), 0.5f);
  const std::vector<Gesture> seen = rig.GesturesFor(P::kParamFilterFreq);
  ASSERT_GE(seen.size(), 3u);
  EXPECT_EQ(seen.front(), Gesture::Begin);
  EXPECT_EQ(seen.back(), Gesture::End);
  for (std::size_t i = 1; i + 1 < seen.size(); ++i)
    EXPECT_EQ(seen[i], Gesture::Automate);

  // Downward lowers it again.
  const float raised = rig.GetParameter(P::kParamFilterFreq);
  rig.Drag(kFilterFreqKnob.x, kFilterFreqKnob.y, 0, 40);
  EXPECT_LT(rig.GetParameter(P::kParamFilterFreq), raised);
}

TEST_F(EditorWindowTest, DoubleClickRestoresTheFirstValue) {
  const float initial = rig.GetParameter(P::kParamFilterMix);
  rig.Drag(kFilterMixKnob.x, kFilterMixKnob.y, 0, 60);
  ASSERT_NE(rig.GetParameter(P::kParamFilterMix), initial);
  rig.Send(WM_LBUTTONDBLCLK, MK_LBUTTON, kFilterMixKnob.x, kFilterMixKnob.y);
  rig.Send(WM_LBUTTONUP, 0, kFilterMixKnob.x, kFilterMixKnob.y);
  EXPECT_FLOAT_EQ(rig.GetParameter(P::kParamFilterMix), initial);
}

TEST_F(EditorWindowTest, WheelNotchesFormOneGestureThatEndsLater) {
  rig.SetParameter(P::kParamFilterMix, 0.5f);
  rig.Pump();
  rig.ClearHostCalls();
  rig.Wheel(kFilterMixKnob.x, kFilterMixKnob.y, 240);
  rig.Wheel(kFilterMixKnob.x, kFilterMixKnob.y, 119); // less than a notch: no step
  rig.Wheel(kFilterMixKnob.x, kFilterMixKnob.y, -120);
  EXPECT_NEAR(rig.GetParameter(P::kParamFilterMix), 0.51f, 0.006f);
  std::vector<Gesture> seen = rig.GesturesFor(P::kParamFilterMix);
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.front(), Gesture::Begin);
  EXPECT_EQ(std::count(seen.begin(), seen.end(), Gesture::Begin), 1);
  EXPECT_EQ(std::count(seen.begin(), seen.end(), Gesture::End), 0);
  EXPECT_GT(rig.Editor()->EndEditCountdown(), 0);

  rig.Pump(900); // half a second of ticks, and some
  seen = rig.GesturesFor(P::kParamFilterMix);
  EXPECT_EQ(std::count(seen.begin(), seen.end(), Gesture::End), 1);
  EXPECT_EQ(seen.back(), Gesture::End);
  EXPECT_EQ(rig.Editor()->EndEditCountdown(), 0);
}

TEST_F(EditorWindowTest, ClosingEndsAPendingWheelGestureAtOnce) {
  rig.Wheel(kFilterMixKnob.x, kFilterMixKnob.y, 120);
  ASSERT_GT(rig.Editor()->EndEditCountdown(), 0);
  rig.CloseEditor();
  const std::vector<Gesture> seen = rig.GesturesFor(P::kParamFilterMix);
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.back(), Gesture::End);
  EXPECT_EQ(rig.Editor()->EndEditCountdown(), 0);
}

TEST_F(EditorWindowTest, UntranslatedKeysAreDropped) {
  const float before = rig.GetParameter(P::kParamFilterFreq);
  for (WPARAM vk :
       {WPARAM{VK_ESCAPE}, WPARAM{VK_TAB}, WPARAM{VK_F1}, WPARAM{VK_SPACE}, WPARAM{'A'}})
    SendMessageA(rig.EditorWindow(), WM_KEYDOWN, vk, 0);
  rig.Pump(60);
  EXPECT_EQ(rig.GetParameter(P::kParamFilterFreq), before);
}

TEST_F(EditorWindowTest, LayoutHitsAndTypeButtonEdges) {
  IEditorWindow* editor = rig.Editor();
  const std::int32_t freq = editor->HitControl(kFilterFreqKnob.x - 27, kFilterFreqKnob.y - 14);
  ASSERT_GE(freq, 0);
  EXPECT_EQ(editor->Control(freq)->ParamIndex(), P::kParamFilterFreq);
  EXPECT_EQ(editor->HitControl(kFilterFreqKnob.x + 35, kFilterFreqKnob.y - 14), 0);
  EXPECT_EQ(editor->Control(0)->ParamIndex(), -1);

  struct Edge {
    int x;
    int y;
    double type;
  };
  // Offsets from the strip's top left corner: three cells of 24 x 13.
  for (const Edge e : {Edge{0, 0, 0}, Edge{23, 12, 0}, Edge{24, 0, 1}, Edge{47, 12, 1},
                       Edge{48, 0, 2}, Edge{71, 12, 2}}) {
    rig.SetParameter(P::kParamFilterType, 0.5f);
    rig.Click(kFilterTypeButtons.x + e.x, kFilterTypeButtons.y + e.y);
    EXPECT_EQ(rig.Value(P::kParamFilterType), e.type) << e.x << "," << e.y;
  }
  // Just outside the strip: the background takes the click.
  rig.SetParameter(P::kParamFilterType, 0.0f);
  rig.Click(kFilterTypeButtons.x + 72, kFilterTypeButtons.y + 6);
  rig.Click(kFilterTypeButtons.x + 30, kFilterTypeButtons.y + 13);
  EXPECT_EQ(rig.Value(P::kParamFilterType), 0.0);
}

TEST_F(EditorWindowTest, RightClickOnAKnobTakesATypedValue) {
  rig.RightClick(kFilterFreqKnob.x, kFilterFreqKnob.y);
  HWND entry = rig.Editor()->TextEntryWindow();
  ASSERT_NE(entry, nullptr);
  char name[16] = {};
  GetClassNameA(entry, name, sizeof(name));
  EXPECT_STREQ(name, "Edit");
  EXPECT_EQ(GetDlgCtrlID(entry), 99);
  // Centred on the knob (centre 52, 184), 16 pixels tall.
  RECT r{};
  GetWindowRect(entry, &r);
  MapWindowPoints(nullptr, rig.EditorWindow(), reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.bottom - r.top, 16);
  EXPECT_EQ(r.top, 184 - 8);
  EXPECT_NEAR((r.left + r.right) / 2, 52, 1);

  // Each entry has a font of its own, released when the entry closes.
  HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageA(entry, WM_GETFONT, 0, 0));
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(GetObjectType(font), static_cast<DWORD>(OBJ_FONT));

  rig.ClearHostCalls();
  SetWindowTextA(entry, "5000");
  SendMessageA(entry, WM_KEYDOWN, VK_RETURN, 0);
  rig.Pump();
  EXPECT_EQ(GetObjectType(font), 0u);
  EXPECT_EQ(rig.Value(P::kParamFilterFreq), 5000.0);
  EXPECT_EQ(rig.Editor()->TextEntryWindow(), nullptr);
  EXPECT_FALSE(IsWindow(entry));
  const std::vector<Gesture> seen = rig.GesturesFor(P::kParamFilterFreq);
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.front(), Gesture::Begin);
  EXPECT_NE(std::find(seen.begin(), seen.end(), Gesture::End), seen.end());
}

TEST_F(EditorWindowTest, RightClickCancelsAnOpenEntryAndReachesNoControl) {
  const double freq = rig.Value(P::kParamFilterFreq);
  const double type = rig.Value(P::kParamFilterType);
  rig.RightClick(kFilterFreqKnob.x, kFilterFreqKnob.y);
  HWND entry = rig.Editor()->TextEntryWindow();
  ASSERT_NE(entry, nullptr);
  SetWindowTextA(entry, "777");
  rig.RightClick(kFilterTypeButtons.x + 36,
                 kFilterTypeButtons.y + 6); // on a type button: cancels only
  rig.Pump();
  EXPECT_EQ(rig.Editor()->TextEntryWindow(), nullptr);
  EXPECT_EQ(rig.Value(P::kParamFilterFreq), freq);
  EXPECT_EQ(rig.Value(P::kParamFilterType), type);
}

TEST_F(EditorWindowTest, LeftClickCommitsAnOpenEntryAndReachesTheControl) {
  rig.SetParameter(P::kParamFilterType, 0.0f);
  rig.RightClick(kFilterFreqKnob.x, kFilterFreqKnob.y);
  HWND entry = rig.Editor()->TextEntryWindow();
  ASSERT_NE(entry, nullptr);
  SetWindowTextA(entry, "1234");
  rig.Click(kFilterTypeButtons.x + 60, kFilterTypeButtons.y + 6); // the Bandpass button
  rig.Pump();
  EXPECT_EQ(rig.Editor()->TextEntryWindow(), nullptr);
  EXPECT_EQ(rig.Value(P::kParamFilterFreq), 1234.0);
  EXPECT_EQ(rig.Value(P::kParamFilterType), 2.0);
}

TEST_F(EditorWindowTest, FocusLossLeavesTheEntryOpen) {
  rig.RightClick(kFilterFreqKnob.x, kFilterFreqKnob.y);
  HWND entry = rig.Editor()->TextEntryWindow();
  ASSERT_NE(entry, nullptr);
  SetFocus(rig.Frame().Frame());
  rig.Pump();
  EXPECT_EQ(rig.Editor()->TextEntryWindow(), entry);
  EXPECT_TRUE(IsWindow(entry));
}

TEST_F(EditorWindowTest, RightClickOnTheTypeButtonsListsTheFilterTypes) {
  rig.SetParameter(P::kParamFilterType, 0.5f); // Highpass
  rig.RightClick(kFilterTypeButtons.x + 10, kFilterTypeButtons.y + 6);
  HWND list = rig.Editor()->TextEntryWindow();
  ASSERT_NE(list, nullptr);
  char name[16] = {};
  GetClassNameA(list, name, sizeof(name));
  EXPECT_STREQ(name, "ComboBox");
  ASSERT_EQ(SendMessageA(list, CB_GETCOUNT, 0, 0), 3);
  const char* expected[] = {"Lowpass", "Highpass", "Bandpass"};
  for (int i = 0; i < 3; ++i) {
    char text[32] = {};
    SendMessageA(list, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, expected[i]);
  }
  EXPECT_EQ(SendMessageA(list, CB_GETCURSEL, 0, 0), 1);

  SendMessageA(list, CB_SETCURSEL, 2, 0);
  SendMessageA(list, WM_KEYDOWN, VK_RETURN, 0);
  rig.Pump();
  EXPECT_EQ(rig.Editor()->TextEntryWindow(), nullptr);
  EXPECT_EQ(rig.Value(P::kParamFilterType), 2.0);
}

TEST_F(EditorWindowTest, DropDownPickChangesTheEnvelopeTarget) {
  rig.SetParameter(P::kParamEnvTarget, 0.0f);
  rig.Pump();
  const WindowPixels closed = rig.Capture();
  rig.Click(kEnvTargetMenu.x + 19, kEnvTargetMenu.y + 6);
  rig.Pump();
  // The list hangs below the button, over the knobs.
  const Rect list{271, 125, 315, 173};
  EXPECT_TRUE(RegionDiffers(closed, rig.Capture(), list));
  rig.Click(kEnvTargetMenu.x + 19, kEnvTargetMenu.y + 12 + 2 * 12 + 6); // third row
  rig.Pump();
  EXPECT_EQ(rig.Value(P::kParamEnvTarget), 2.0);
  EXPECT_FALSE(RegionDiffers(
      closed, rig.Capture(),
      Rect{kEnvTargetMenu.x, kEnvTargetMenu.y + 27, kEnvTargetMenu.x + 44, kEnvTargetMenu.y + 60}));
}

TEST_F(EditorWindowTest, ResetButtonClearsARunningEnvelopeOncePerPress) {
  rig.SetParameter(P::kParamEnvTarget, 1.0f / 3.0f); // the envelope drives the frequency
  rig.NoteOn();
  rig.ProcessBlock();
  ASSERT_NE(rig.Plugin()->State().envStage, EnvStage::Idle);

  rig.Send(WM_LBUTTONDOWN, MK_LBUTTON, kEnvResetButton.x + 7, kEnvResetButton.y + 7);
  EXPECT_EQ(rig.Plugin()->State().envStage, EnvStage::Idle);
  EXPECT_EQ(rig.Value(P::kParamEnvReset), 1.0);
  // Held: a new note runs undisturbed.
  rig.NoteOn();
  rig.ProcessBlock();
  rig.Pump();
  ASSERT_NE(rig.Plugin()->State().envStage, EnvStage::Idle);
  rig.Send(WM_LBUTTONUP, 0, kEnvResetButton.x + 7, kEnvResetButton.y + 7);
  EXPECT_EQ(rig.Value(P::kParamEnvReset), 0.0);
  EXPECT_NE(rig.Plugin()->State().envStage, EnvStage::Idle);

  rig.Click(kEnvResetButton.x + 7, kEnvResetButton.y + 7);
  EXPECT_EQ(rig.Plugin()->State().envStage, EnvStage::Idle);
}

// A mark drawn over the envelope strip from outside stays while nothing
// changes (an idle tick paints nothing) and is painted over once the
// envelope moves the marker.
TEST_F(EditorWindowTest, OnlyAMovingEnvelopeRepaintsTheStrip) {
  rig.SetParameter(P::kParamEnvTarget, 1.0f / 3.0f); // the envelope drives the frequency
  rig.SetParameter(P::kParamEnvDepth, 1.0f);
  rig.Pump(500); // whatever these changes repaint is on the screen before the mark
  constexpr std::uint32_t kMark = 0xFF00FF;
  HDC screen = GetDC(rig.EditorWindow());
  HBRUSH brush = CreateSolidBrush(RGB(0xFF, 0x00, 0xFF));
  const RECT strip{kEnvelopeStrip.left, kEnvelopeStrip.top, kEnvelopeStrip.right,
                   kEnvelopeStrip.bottom};
  FillRect(screen, &strip, brush);
  DeleteObject(brush);
  ReleaseDC(rig.EditorWindow(), screen);
  auto marked = [&] {
    const WindowPixels shot = rig.Capture();
    int count = 0;
    for (int y = strip.top; y < strip.bottom; ++y)
      for (int x = strip.left; x < strip.right; ++x)
        count += shot.At(x, y) == kMark ? 1 : 0;
    return count;
  };

  rig.Pump();
  EXPECT_EQ(marked(), (strip.right - strip.left) * (strip.bottom - strip.top));
  rig.NoteOn();
  rig.ProcessBlock();
  rig.Pump();
  EXPECT_EQ(marked(), 0);
}

TEST_F(EditorWindowTest, HostWheelOnlyWhenThePointerIsOverTheEditor) {
  SetCursorPos(kFilterMixKnob.x, kFilterMixKnob.y);
  rig.SetParameter(P::kParamFilterMix, 0.5f);
  const intptr_t taken = rig.Record()->dispatcher(rig.Record(), effVendorSpecific, 0x73744341,
                                                  0x57686565, nullptr, 1.0f);
  EXPECT_EQ(taken, 1);
  EXPECT_NEAR(rig.GetParameter(P::kParamFilterMix), 0.51f, 0.006f);
  SetCursorPos(900, 900);
  const float before = rig.GetParameter(P::kParamFilterMix);
  EXPECT_EQ(rig.Record()->dispatcher(rig.Record(), effVendorSpecific, 0x73744341, 0x57686565,
                                     nullptr, 1.0f),
            0);
  EXPECT_EQ(rig.GetParameter(P::kParamFilterMix), before);
}

TEST_F(EditorWindowTest, HostWheelStepThatIsNoNumberIsRefused) {
  SetCursorPos(kFilterMixKnob.x, kFilterMixKnob.y);
  rig.SetParameter(P::kParamFilterMix, 0.5f);
  rig.ClearHostCalls();
  for (float step :
       {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()})
    EXPECT_EQ(rig.Record()->dispatcher(rig.Record(), effVendorSpecific, 0x73744341, 0x57686565,
                                       nullptr, step),
              0);
  EXPECT_EQ(rig.GetParameter(P::kParamFilterMix), 0.5f);
  EXPECT_TRUE(rig.GesturesFor(P::kParamFilterMix).empty());
}

TEST_F(EditorWindowTest, ResizingClosesAnOpenEntryWithItsControls) {
  rig.RightClick(kFilterFreqKnob.x, kFilterFreqKnob.y);
  HWND entry = rig.Editor()->TextEntryWindow();
  ASSERT_NE(entry, nullptr);
  rig.Editor()->ResizeEditor(527, 258);
  // The knob the entry belonged to is gone; a later commit must not reach it.
  EXPECT_EQ(rig.Editor()->TextEntryWindow(), nullptr);
  EXPECT_FALSE(IsWindow(entry));
  rig.Click(kFilterFreqKnob.x, kFilterFreqKnob.y);
  rig.Pump(60);
  EXPECT_EQ(rig.Editor()->TextEntryWindow(), nullptr);
  RECT r{};
  GetWindowRect(rig.EditorWindow(), &r);
  EXPECT_EQ(r.right - r.left, 527);
  EXPECT_EQ(r.bottom - r.top, 258);
}

//============================================================================
// Lifecycle

BOOL CALLBACK CountWindow(HWND, LPARAM count) {
  ++*reinterpret_cast<int*>(count);
  return TRUE;
}

// Top-level windows of this thread, and the children of the host frame.
int ThreadWindows(HWND frame) {
  int count = 0;
  EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&count));
  EnumChildWindows(frame, CountWindow, reinterpret_cast<LPARAM>(&count));
  return count;
}

int GdiObjects() {
  return static_cast<int>(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS));
}
int UserObjects() {
  return static_cast<int>(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS));
}

TEST_F(EditorWindowTest, ReopeningWhileOpenKeepsThePlace) {
  HWND first = rig.EditorWindow();
  SetWindowPos(first, nullptr, 5, 7, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  ASSERT_EQ(rig.Record()->dispatcher(rig.Record(), effEditOpen, 0, 0, rig.Frame().Frame(), 0.0f),
            1);
  HWND second = rig.Frame().Editor();
  EXPECT_FALSE(IsWindow(first));
  ASSERT_TRUE(IsWindow(second));
  RECT r{};
  GetWindowRect(second, &r);
  MapWindowPoints(nullptr, rig.Frame().Frame(), reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, 5);
  EXPECT_EQ(r.top, 7);
  EXPECT_EQ(r.right - r.left, 507);
  EXPECT_EQ(IEditorWindow::OpenWindowCount(), 1);
}

TEST_F(EditorWindowTest, OpeningAndClosingLeaksNothing) {
  // Warm up: the first round creates what lives for the process (caches,
  // classes, fonts of the read-outs).
  rig.CloseEditor();
  ASSERT_TRUE(rig.OpenEditor());
  rig.Pump();
  rig.RightClick(kFilterFreqKnob.x, kFilterFreqKnob.y);
  rig.RightClick(kFilterFreqKnob.x, kFilterFreqKnob.y);
  rig.Pump();
  const int gdi = GdiObjects();
  const int user = UserObjects();
  const int windows = ThreadWindows(rig.Frame().Frame());
  for (int round = 0; round < 5; ++round) {
    rig.CloseEditor();
    EXPECT_EQ(IEditorWindow::OpenWindowCount(), 0);
    ASSERT_TRUE(rig.OpenEditor());
    rig.Pump(60);
    rig.RightClick(kFilterFreqKnob.x, kFilterFreqKnob.y); // an entry with its own font ...
    rig.RightClick(kFilterFreqKnob.x, kFilterFreqKnob.y); // ... cancelled
    rig.Pump(60);
    rig.RightClick(kFilterTypeButtons.x + 10, kFilterTypeButtons.y + 6);
    SendMessageA(rig.Editor()->TextEntryWindow(), WM_KEYDOWN, VK_RETURN, 0);
    rig.Pump(60);
  }
  // Wine answers 0 for both counts; on Windows they are real.
  EXPECT_EQ(GdiObjects(), gdi);
  EXPECT_EQ(UserObjects(), user);
  EXPECT_EQ(ThreadWindows(rig.Frame().Frame()), windows);
  // A closed editor has no class registered.
  rig.CloseEditor();
  WNDCLASSA wc{};
  EXPECT_FALSE(GetClassInfoA(IEditorWindow::ModuleOfThisCode(), "QuorvaneWndClass", &wc));
}

TEST(EditorWindowLifecycle, TwoInstancesShareTheClassAndCloseIndependently) {
  EditorTestRig a;
  EditorTestRig b;
  a.CreatePlugin();
  b.CreatePlugin();
  ASSERT_TRUE(a.OpenEditor());
  ASSERT_TRUE(b.OpenEditor());
  a.Pump();
  EXPECT_EQ(IEditorWindow::OpenWindowCount(), 2);
  a.SetParameter(P::kParamFilterFreq, 0.0f);
  b.SetParameter(P::kParamFilterFreq, 1.0f);
  a.Pump();
  EXPECT_TRUE(RegionDiffers(a.Capture(), b.Capture(), b.ControlRect(P::kParamFilterFreq)));

  a.CloseEditor();
  EXPECT_EQ(IEditorWindow::OpenWindowCount(), 1);
  b.Drag(kFilterFreqKnob.x, kFilterFreqKnob.y, 0, 40);
  EXPECT_LT(b.GetParameter(P::kParamFilterFreq), 1.0f);
  b.Pump();
  b.CloseEditor();
  EXPECT_EQ(IEditorWindow::OpenWindowCount(), 0);
}

TEST(EditorWindowLifecycle, ClosingThePluginWithTheEditorOpenDestroysTheWindow) {
  EditorTestRig rig;
  rig.CreatePlugin();
  ASSERT_TRUE(rig.OpenEditor());
  rig.Pump();
  HWND editor = rig.EditorWindow();
  ASSERT_TRUE(IsWindow(editor));
  rig.ClosePlugin();
  EXPECT_FALSE(IsWindow(editor));
  EXPECT_EQ(IEditorWindow::OpenWindowCount(), 0);
  rig.Pump(100); // no timer may fire into the destroyed editor
}

TEST(EditorWindowLifecycle, HostDestroyingItsWindowFirstClosesTheEditor) {
  EditorTestRig rig;
  rig.CreatePlugin();
  HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 600, 300, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(parent, nullptr);
  ASSERT_EQ(rig.Record()->dispatcher(rig.Record(), effEditOpen, 0, 0, parent, 0.0f), 1);
  HWND editor = GetWindow(parent, GW_CHILD);
  ASSERT_TRUE(IsWindow(editor));
  SendMessageA(editor, WM_MOUSEWHEEL, MAKEWPARAM(0, 120),
               MAKELPARAM(kFilterMixKnob.x, kFilterMixKnob.y));
  ASSERT_GT(rig.Editor()->EndEditCountdown(), 0);

  // No editor-close from this host: its window simply goes, taking ours.
  DestroyWindow(parent);
  EXPECT_FALSE(IsWindow(editor));
  EXPECT_EQ(rig.Editor()->GetWindowHandle(), nullptr);
  EXPECT_EQ(IEditorWindow::OpenWindowCount(), 0);
  const std::vector<Gesture> seen = rig.GesturesFor(P::kParamFilterMix);
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.back(), Gesture::End);

  // Opening again gives a whole editor, not the size of a vanished window.
  ASSERT_TRUE(rig.OpenEditor());
  RECT r{};
  GetWindowRect(rig.EditorWindow(), &r);
  EXPECT_EQ(r.right - r.left, 507);
  EXPECT_EQ(r.bottom - r.top, 248);
  EXPECT_EQ(IEditorWindow::OpenWindowCount(), 1);
  rig.Pump(60);
  rig.CloseEditor();
  EXPECT_EQ(IEditorWindow::OpenWindowCount(), 0);
}

TEST(EditorWindowLifecycle, WindowCloseMessageClosesTheEditor) {
  EditorTestRig rig;
  rig.CreatePlugin();
  ASSERT_TRUE(rig.OpenEditor());
  HWND editor = rig.EditorWindow();
  SendMessageA(editor, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(editor));
  EXPECT_EQ(rig.Editor()->GetWindowHandle(), nullptr);
  // The host may still close it: nothing happens twice.
  rig.CloseEditor();
  EXPECT_EQ(IEditorWindow::OpenWindowCount(), 0);
}

} // namespace
