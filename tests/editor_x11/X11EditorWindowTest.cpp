// The X11 editor window in a real X server, driven by real X events: a
// small editor with two knobs and a row of buttons on a recording effect.

#include <gtest/gtest.h>

// Xlib's macros after GoogleTest's names.
#include "editor/IKnobRotVal.h"
#include "editor/IRadioButtons.h"
#include "editor_x11/X11EditorWindow.h"
#include "framework/AudioCallScope.h"
#include "tests/editor/EditorTestEffect.h"
#include "tests/editor/TestImages.h"
#include "tests/editor_x11/X11TestHost.h"

#include <X11/keysym.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <tuple>
#include <utility>

namespace quorvane::test {
namespace {

constexpr int kWidth = 200;
constexpr int kHeight = 120;
constexpr std::uint32_t kBackground = 0xFF406080;
constexpr std::int32_t kBackgroundId = 9100, kKnobId = 9101, kStripId = 9102;

std::unique_ptr<RasterBitmap> Images(std::int32_t id) {
  if (id == kBackgroundId) return Solid(kWidth, kHeight, kBackground);
  if (id == kStripId) return Strip(24, 13, false, {kRed, kGreen, kBlue});
  if (id != kKnobId) return nullptr;
  auto knob = Solid(32, 32, kBlack);
  for (int y = 2; y < 16; ++y)
    for (int x = 14; x < 18; ++x)
      SetPixel(*knob, x, y, kWhite);
  return knob;
}

// Level knob at (40, 40), Mode buttons at (100, 20)-(172, 33), Gain knob at
// (140, 80) with its read-out below.
void Build(X11EditorWindow& editor, IEffectBase* effect) {
  editor.AddBackground(kBackgroundId, "bg");
  const BitmapRef knob = editor.LoadEditorBitmap(kKnobId, "knob", 1);
  TextStyle text;
  std::strcpy(text.fontName, "Arial");
  text.size = 14;
  text.color = Color{255, 255, 255, 255};
  text.alignment = TextStyle::kAlignCentre;
  editor.AddControl(std::make_unique<IKnobRotVal>(effect, EditorTestEffect::kLevel, 40, 40, knob,
                                                  text, 4, 300, 4.0, 0, 0));
  editor.AddControl(std::make_unique<IRadioButtons>(effect, EditorTestEffect::kMode, 100, 20,
                                                    editor.LoadEditorBitmap(kStripId, "strip", 3),
                                                    true, 1, 0, 0, 0));
  editor.AddControl(std::make_unique<IKnobRotVal>(effect, EditorTestEffect::kGain, 140, 80, knob,
                                                  text, 4, 300, 4.0, 0, 0));
}

// A host that may close the editor from inside the begin of a gesture.
class ClosingHostEffect : public EditorTestEffect {
public:
  void BeginHostGesture(int32_t index) override {
    EditorTestEffect::BeginHostGesture(index);
    if (closeOnBegin == 0) return;
    Editor()->CloseEditorWindow();
    reopened = Editor()->OpenEditorWindow(reinterpret_cast<void*>(closeOnBegin));
  }
  // A host that takes whatever size the editor asks for.
  bool ResizeHostWindow(int32_t, int32_t) override { return true; }
  std::uintptr_t closeOnBegin = 0; // and reopen in this window
  void* reopened = nullptr;
};

class X11EditorTest : public ::testing::Test {
protected:
  void SetUp() override {
    if (!host.Ready()) {
      ASSERT_EQ(std::getenv("DISPLAY"), nullptr) << "the X server DISPLAY names is unreachable";
      GTEST_SKIP() << "no X server";
    }
    errorsBefore = X11TestHost::ErrorsSeen();
    auto surface = std::make_unique<X11EditorWindow>(effect.get(), kWidth, kHeight, 0, &Images);
    editor = surface.get();
    Build(*editor, effect.get());
    effect->AttachEditor(std::move(surface));
    parent = host.MakeParent();
    // Once opened and closed first, so that what a runtime starts along with
    // the first thread (a sanitizer's) counts in what was there before.
    ASSERT_TRUE(Open());
    editor->CloseEditorWindow();
    before = host.Measure();
    ASSERT_TRUE(Open());
    host.Settle();
  }

  void TearDown() override {
    if (!host.Ready()) return;
    effect.reset();
    host.Settle(20);
    EXPECT_EQ(X11TestHost::ErrorsSeen(), errorsBefore);
  }

  bool Open() {
    window = Window(reinterpret_cast<std::uintptr_t>(
        editor->OpenEditorWindow(reinterpret_cast<void*>(std::uintptr_t(parent)))));
    return window != 0;
  }

  double Value(int index) {
    PluginLockGuard guard(effect->GetPluginLock());
    return effect->ValueOf(index);
  }
  void SetFromHost(int index, double normalised) {
    PluginLockGuard guard(effect->GetPluginLock());
    effect->SetParameterFromHost(index, normalised);
  }
  std::vector<std::string> Gestures(int index) {
    PluginLockGuard guard(effect->GetPluginLock());
    std::vector<std::string> seen;
    for (const HostCall& call : effect->calls)
      if (call.index == index) seen.push_back(call.what);
    return seen;
  }
  std::vector<Window> TopLevel() { return host.Children(DefaultRootWindow(host.Connection())); }

  X11TestHost host;
  std::unique_ptr<ClosingHostEffect> effect = std::make_unique<ClosingHostEffect>();
  X11EditorWindow* editor = nullptr;
  Window parent = 0;
  Window window = 0;
  Footprint before;
  int errorsBefore = 0;
};

std::atomic<int> userInterfaceTurns{0};
void CountTurn() {
  ++userInterfaceTurns;
}

// Trace lines an audio call put off are written at the window's tick, even
// when the host makes no dispatcher call meanwhile.
TEST_F(X11EditorTest, TheTimerTickRunsTheUserInterfaceTurn) {
  SetUserInterfaceTurn(CountTurn);
  host.Settle();
  SetUserInterfaceTurn(nullptr);
  EXPECT_GE(userInterfaceTurns.load(), 2);
}

TEST_F(X11EditorTest, HostChangesShowWithinAFewFrames) {
  SetFromHost(EditorTestEffect::kLevel, 0.0);
  host.Settle();
  const WindowPixels low = host.Capture(window);
  SetFromHost(EditorTestEffect::kLevel, 1.0);
  host.Settle();
  EXPECT_TRUE(RegionDiffers(low, host.Capture(window), 24, 24, 56, 56));
  SetFromHost(EditorTestEffect::kLevel, 0.0);
  host.Settle();
  EXPECT_FALSE(RegionDiffers(low, host.Capture(window), 0, 0, kWidth, kHeight));
}

TEST_F(X11EditorTest, TheHostsScaleChangesWhileTheWindowPaints) {
  const WindowPixels unscaled = host.Capture(window);
  auto scaleTo = [&](float factor) {
    PluginLockGuard guard(effect->GetPluginLock());
    EXPECT_TRUE(editor->SetHostScale(factor));
  };
  for (int i = 0; i < 6; ++i) {
    scaleTo(i % 2 == 0 ? 2.0f : 1.5f);
    SetFromHost(EditorTestEffect::kLevel, i / 6.0);
    host.Settle(40);
  }
  XWindowAttributes attributes{};
  XGetWindowAttributes(host.Connection(), window, &attributes);
  EXPECT_EQ(attributes.width, 300);
  EXPECT_EQ(attributes.height, 180);
  scaleTo(1.0f);
  SetFromHost(EditorTestEffect::kLevel, 0.5);
  host.Settle();
  EXPECT_FALSE(RegionDiffers(unscaled, host.Capture(window), 0, 0, kWidth, kHeight));
}

TEST_F(X11EditorTest, WheelStepsAndDoubleClickRestores) {
  host.MoveTo(window, 40, 40);
  for (int button : {4, 4, 5, 6, 7}) {
    host.Button(button, true);
    host.Button(button, false);
  }
  host.Settle();
  EXPECT_NEAR(Value(EditorTestEffect::kLevel), 0.51, 0.006);
  host.Click(window, 40, 40);
  host.Click(window, 40, 40);
  host.Settle();
  EXPECT_DOUBLE_EQ(Value(EditorTestEffect::kLevel), 0.5);
}

TEST_F(X11EditorTest, TheValueListOpensOnARightClickAndClosesAsTold) {
  struct Case {
    int pickRow; // -1: Escape; -2: a click outside
    double expected;
  };
  for (const Case& c : {Case{2, 2.0}, Case{-1, 2.0}, Case{1, 1.0}, Case{-2, 1.0}}) {
    SCOPED_TRACE(c.pickRow);
    const std::vector<Window> windowsBefore = TopLevel();
    host.Click(window, 110, 26, 3);
    host.Settle();
    std::vector<Window> list = TopLevel();
    ASSERT_EQ(list.size(), windowsBefore.size() + 1);
    const Window popup = list.back();
    const WindowPixels rows = host.Capture(popup);
    EXPECT_EQ(rows.height, 3 * X11EditorWindow::kListRowHeight + 2);
    if (c.pickRow >= 0)
      host.Click(popup, 20, 1 + c.pickRow * X11EditorWindow::kListRowHeight + 9);
    else if (c.pickRow == -1)
      host.Key(XK_Escape);
    else
      host.Click(parent, 400, 200);
    host.Settle();
    EXPECT_EQ(TopLevel(), windowsBefore);
    EXPECT_DOUBLE_EQ(Value(EditorTestEffect::kMode), c.expected);
  }
}

TEST_F(X11EditorTest, TheBackgroundMenuRescalesTheWindowFromItsOwnThread) {
  // 200 %, then back to 100 %: the choice outlives the window in this process.
  for (const auto& [from, row, size] : {std::tuple{1, 4, 400}, std::tuple{2, 0, 200}}) {
    const std::size_t windowsBefore = TopLevel().size();
    host.Click(window, 10 * from, 100 * from, 3);
    host.Settle();
    const std::vector<Window> menu = TopLevel();
    ASSERT_EQ(menu.size(), windowsBefore + 1);
    host.Click(menu.back(), 10, 1 + row * from * X11EditorWindow::kListRowHeight + 9);
    SetFromHost(EditorTestEffect::kLevel, row / 8.0);
    host.Settle();
    XWindowAttributes attributes{};
    XGetWindowAttributes(host.Connection(), window, &attributes);
    EXPECT_EQ(std::pair(attributes.width, attributes.height), std::pair(size, size * 3 / 5));
  }
}

TEST_F(X11EditorTest, TheMenuStaysOnTheScreenAtItsBottomRightCorner) {
  Display* display = host.Connection();
  const int screenWidth = DisplayWidth(display, DefaultScreen(display));
  const int screenHeight = DisplayHeight(display, DefaultScreen(display));
  editor->CloseEditorWindow();
  parent = host.MakeParent(screenWidth - kWidth, screenHeight - kHeight, kWidth, kHeight);
  ASSERT_TRUE(Open());
  host.Settle();
  const std::size_t windowsBefore = TopLevel().size();
  host.Click(window, kWidth - 4, kHeight - 4, 3);
  host.Settle();
  const std::vector<Window> menu = TopLevel();
  ASSERT_EQ(menu.size(), windowsBefore + 1);
  XWindowAttributes at{};
  XGetWindowAttributes(display, menu.back(), &at);
  EXPECT_LE(at.x + at.width, screenWidth);
  EXPECT_LE(at.y + at.height, screenHeight);
  host.Key(XK_Escape);
  host.Settle();
}

TEST_F(X11EditorTest, TheEntryTakesTypedValuesWithTheKeyboardOnlyWhileOpen) {
  struct Case {
    const char* typed;
    int finish; // a key symbol, or 1 / 3 for a left / right click elsewhere
    double expected;
  };
  const Case cases[] = {{"7", XK_Return, 7.0},
                        {"3", XK_Escape, 7.0},
                        {"5", 1, 5.0},
                        {"9", 3, 5.0},
                        {"-2.5", XK_KP_Enter, -2.5}};
  Window focusBefore = 0;
  int revert = 0;
  XGetInputFocus(host.Connection(), &focusBefore, &revert);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    host.Click(window, 140, 80, 3);
    host.Settle();
    Window focus = 0;
    XGetInputFocus(host.Connection(), &focus, &revert);
    EXPECT_EQ(focus, window);
    host.Type(c.typed);
    if (c.finish == 1 || c.finish == 3)
      host.Click(window, 190, 110, c.finish);
    else
      host.Key(unsigned(c.finish));
    host.Settle();
    EXPECT_NEAR(Value(EditorTestEffect::kGain), c.expected, 1e-9);
    XGetInputFocus(host.Connection(), &focus, &revert);
    EXPECT_EQ(focus, focusBefore);
  }
}

TEST_F(X11EditorTest, AParentDestroyedFirstOnlyEndsTheWindowAndItsPrompt) {
  // With the entry open, then with the value list, then with the background's menu.
  for (const auto& [promptX, promptY] :
       {std::pair{140, 80}, std::pair{110, 26}, std::pair{10, 100}}) {
    SCOPED_TRACE(promptX);
    host.Click(window, promptX, promptY, 3);
    host.Settle();
    host.DestroyWindow(parent);
    host.Settle();
    EXPECT_FALSE(editor->IsWindowOpen());
    EXPECT_EQ(host.Measure().topLevelWindows, before.topLevelWindows - 1); // no list left
    editor->CloseEditorWindow();
    parent = host.MakeParent();
    EXPECT_EQ(host.Measure(), before);
    ASSERT_TRUE(Open());
    host.Settle();
  }
}

TEST_F(X11EditorTest, AHostMayCloseFromInsideAGesture) {
  effect->closeOnBegin = parent;
  host.Drag(window, 40, 40, 0, -20);
  effect->closeOnBegin = 0;
  EXPECT_EQ(effect->reopened, nullptr);
  ASSERT_TRUE(Open());
  host.Settle();
  EXPECT_EQ(host.Children(parent).size(), 1u);
  host.Drag(window, 40, 40, 0, -20);
  EXPECT_GT(Value(EditorTestEffect::kLevel), 0.5);
}

} // namespace
} // namespace quorvane::test
