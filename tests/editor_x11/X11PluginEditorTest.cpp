// The real Linux plug-in's editor, driven only through the VST 2.4
// interface as a Linux host drives it: the host's window id to effEditOpen,
// real X events from XTest, pixels read back with XGetImage, and a host
// error handler that must never be called.

#include <gtest/gtest.h>

// Xlib's macros after GoogleTest's names.
#include "PluginModule.h"
#include "editor_x11/X11ScreenshotHost.h"
#include "effect/VSTCLASS.h"
#include "raster/PngDecoder.h"
#include "raster/RasterBitmap.h"
#include "tests/editor_x11/X11TestHost.h"
#include "tests/support/VstEventList.h"

#include <X11/Xatom.h>
#include <X11/keysym.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace quorvane::test {
namespace {

// The parameters these tests drive, by the effect's own indices.
enum Param : int32_t {
  kFilterType = VSTCLASS::kParamFilterType,
  kFilterFreq = VSTCLASS::kParamFilterFreq,
  kFilterMix = VSTCLASS::kParamFilterMix,
  kTarget = VSTCLASS::kParamEnvTarget,
  kSustain = VSTCLASS::kParamEnvSustain,
  kDepth = VSTCLASS::kParamEnvDepth,
  kDirection = VSTCLASS::kParamEnvDirection
};

// Where the controls are, in the editor's pixels.
struct Point {
  int x, y;
};
constexpr Point kFreqKnob{52, 174};
constexpr Point kMixKnob{164, 174};
constexpr Point kSustainKnob{343, 174};
constexpr Point kTypeButtons{110, 118};
constexpr Point kDirectionButton{343, 120};
constexpr Point kBackground{20, 150}; // inside the parent at 200 % too
constexpr Point kStripTopLeft{209, 213}, kStripBottomRight{477, 215}; // the envelope's marker
constexpr int kListRowHeight = 18;

// What the plug-in told the host, from whichever thread it told it.
struct HostLog {
  std::mutex lock;
  std::vector<std::pair<int32_t, int32_t>> gestures; // opcode, parameter
  std::vector<std::pair<int32_t, intptr_t>> resizes; // width, height
};

HostLog& Log() {
  static HostLog log;
  return log;
}

intptr_t VSTCALLBACK HostCallback(AEffect*, int32_t opcode, int32_t index, intptr_t value, void*,
                                  float) {
  switch (opcode) {
  case audioMasterVersion:
    return 2400;
  case audioMasterSizeWindow: {
    std::lock_guard<std::mutex> guard(Log().lock);
    Log().resizes.emplace_back(index, value);
    return 1;
  }
  case audioMasterAutomate:
  case audioMasterBeginEdit:
  case audioMasterEndEdit: {
    std::lock_guard<std::mutex> guard(Log().lock);
    Log().gestures.emplace_back(opcode, index);
    return 1;
  }
  default:
    return 0;
  }
}

vsthost::PluginModule& Module() {
  static vsthost::PluginModule module;
  if (module.EntryPoint() == nullptr) {
    std::string error;
    EXPECT_TRUE(module.Load(QUORVANE_PLUGIN_PATH, error)) << error;
  }
  return module;
}

// Pixels that differ between the Linux and the Windows picture of the
// editor at a scale, away from the value texts (a line under the knobs and
// the foot of the slider); -1 when they cannot be compared.
int DifferencesOutsideText(const char* linuxPath, const char* windowsPath, int scale) {
  const std::unique_ptr<RasterBitmap> linux(DecodePngFile(linuxPath));
  const std::unique_ptr<RasterBitmap> windows(DecodePngFile(windowsPath));
  if (!linux || !windows || linux->Width() != windows->Width() ||
      linux->Height() != windows->Height())
    return -1;
  auto inText = [scale](int x, int y) {
    return (y >= 196 * scale && y < 210 * scale) ||
           (x >= 373 * scale && x < 443 * scale && y >= 121 * scale && y < 135 * scale);
  };
  int differing = 0;
  for (int y = 0; y < linux->Height(); ++y)
    for (int x = 0; x < linux->Width(); ++x)
      if (!inText(x, y) && linux->Pixels()[std::ptrdiff_t(y) * linux->RowStride() + x] !=
                               windows->Pixels()[std::ptrdiff_t(y) * windows->RowStride() + x])
        ++differing;
  return differing;
}

class PluginEditorTest : public ::testing::Test {
protected:
  void SetUp() override {
    if (!host.Ready()) {
      ASSERT_EQ(std::getenv("DISPLAY"), nullptr) << "the X server DISPLAY names is unreachable";
      GTEST_SKIP() << "no X server";
    }
    ASSERT_NE(Module().EntryPoint(), nullptr);
    before = host.Measure();
    errorsBefore = X11TestHost::ErrorsSeen();
    effect = Create();
    parent = host.MakeParent();
    ASSERT_TRUE(OpenIn(effect, parent));
    host.Settle();
  }

  void TearDown() override {
    if (!host.Ready()) return;
    for (AEffect* e : {effect, second})
      if (e != nullptr) e->dispatcher(e, effClose, 0, 0, nullptr, 0.0f);
    for (Window w : {parent, secondParent})
      if (w != 0) host.DestroyWindow(w);
    host.Settle(20);
    EXPECT_EQ(host.Measure(), before);
    EXPECT_EQ(X11TestHost::ErrorsSeen(), errorsBefore);
  }

  AEffect* Create() {
    AEffect* made = Module().EntryPoint()(&HostCallback);
    made->dispatcher(made, effOpen, 0, 0, nullptr, 0.0f);
    return made;
  }
  bool OpenIn(AEffect* e, Window w) {
    return e->dispatcher(e, effEditOpen, 0, 0, reinterpret_cast<void*>(std::uintptr_t(w)), 0.0f) ==
           1;
  }
  void CloseEditor(AEffect* e) { e->dispatcher(e, effEditClose, 0, 0, nullptr, 0.0f); }
  // A note-on, then that many frames of a quiet signal through the effect.
  void PlayNote(int frames) {
    VstEventList noteOn{MakeMidi(0, 0x90, 60, 100)};
    effect->dispatcher(effect, effProcessEvents, 0, 0, noteOn.Get(), 0.0f);
    std::vector<float> in(std::size_t(frames), 0.1f), left(in.size()), right(in.size());
    float* inputs[2] = {in.data(), in.data()};
    float* outputs[2] = {left.data(), right.data()};
    effect->processReplacing(effect, inputs, outputs, frames);
  }
  Window Editor(Window w) {
    const std::vector<Window> children = host.Children(w);
    return children.empty() ? 0 : children.front();
  }
  float Get(int32_t index, AEffect* e = nullptr) {
    e = e != nullptr ? e : effect;
    return e->getParameter(e, index);
  }
  std::string Display(int32_t index) {
    char text[64] = {};
    effect->dispatcher(effect, effGetParamDisplay, index, 0, text, 0.0f);
    return text;
  }
  std::vector<int32_t> GesturesFor(int32_t index) {
    std::lock_guard<std::mutex> guard(Log().lock);
    std::vector<int32_t> seen;
    for (const auto& [opcode, param] : Log().gestures)
      if (param == index) seen.push_back(opcode);
    return seen;
  }
  void ClearGestures() {
    std::lock_guard<std::mutex> guard(Log().lock);
    Log().gestures.clear();
    Log().resizes.clear();
  }
  std::vector<std::pair<int32_t, intptr_t>> Resizes() {
    std::lock_guard<std::mutex> guard(Log().lock);
    return Log().resizes;
  }
  std::pair<int, int> SizeOf(Window w) {
    XWindowAttributes attributes{};
    XGetWindowAttributes(host.Connection(), w, &attributes);
    return {attributes.width, attributes.height};
  }
  void Click(Point p, int button = 1) { host.Click(Editor(parent), p.x, p.y, button); }
  std::vector<Window> TopLevel() { return host.Children(DefaultRootWindow(host.Connection())); }

  X11TestHost host;
  AEffect* effect = nullptr;
  AEffect* second = nullptr;
  Window parent = 0;
  Window secondParent = 0;
  Footprint before;
  int errorsBefore = 0;
};

TEST_F(PluginEditorTest, ReportsItsEditorAndOpensItInTheHostWindow) {
  EXPECT_NE(effect->flags & effFlagsHasEditor, 0);
  ERect* rect = nullptr;
  ASSERT_EQ(effect->dispatcher(effect, effEditGetRect, 0, 0, &rect, 0.0f), 1);
  EXPECT_EQ(rect->right - rect->left, 507);
  EXPECT_EQ(rect->bottom - rect->top, 248);
  ASSERT_NE(Editor(parent), 0u);
  const WindowPixels shot = host.Capture(Editor(parent));
  EXPECT_EQ(shot.width, 507);
  EXPECT_EQ(shot.height, 248);
  EXPECT_EQ(effect->dispatcher(effect, effEditIdle, 0, 0, nullptr, 0.0f), 0);
}

TEST_F(PluginEditorTest, TheHostsScaleWhileOpenResizesTheEditorAndComesBackIntact) {
  const Window editor = Editor(parent);
  const WindowPixels unscaled = host.Capture(editor);
  auto scaleTo = [&](float factor) {
    EXPECT_EQ(effect->dispatcher(effect, effVendorSpecific, kVstScaleFactorIndex,
                                 kVstScaleFactorValue, nullptr, factor),
              1);
    host.Settle();
    XWindowAttributes attributes{};
    XGetWindowAttributes(host.Connection(), editor, &attributes);
    return std::make_pair(attributes.width, attributes.height);
  };
  EXPECT_EQ(scaleTo(2.0f), std::make_pair(1014, 496));
  EXPECT_EQ(scaleTo(1.0f), std::make_pair(507, 248));
  EXPECT_FALSE(RegionDiffers(unscaled, host.Capture(editor), 0, 0, 507, 248));
}

TEST_F(PluginEditorTest, DraggingFilterFreqRaisesItInsideOneGesture) {
  effect->setParameter(effect, kFilterFreq, 0.5f);
  host.Settle();
  ClearGestures();
  host.Drag(Editor(parent), kFreqKnob.x, kFreqKnob.y, 0, -40);
  EXPECT_GT(Get(kFilterFreq), 0.5f);
  const std::vector<int32_t> seen = GesturesFor(kFilterFreq);
  ASSERT_GE(seen.size(), 3u);
  EXPECT_EQ(seen.front(), audioMasterBeginEdit);
  EXPECT_EQ(seen.back(), audioMasterEndEdit);
  for (std::size_t i = 1; i + 1 < seen.size(); ++i)
    EXPECT_EQ(seen[i], audioMasterAutomate);
}

TEST_F(PluginEditorTest, HostChangesShowWithinAFewFrames) {
  const Window editor = Editor(parent);
  effect->setParameter(effect, kFilterFreq, 0.0f);
  host.Settle();
  const WindowPixels low = host.Capture(editor);
  effect->setParameter(effect, kFilterFreq, 1.0f);
  host.Settle();
  EXPECT_TRUE(RegionDiffers(low, host.Capture(editor), 22, 158, 82, 210));
  effect->setParameter(effect, kFilterFreq, 0.0f);
  host.Settle();
  EXPECT_FALSE(RegionDiffers(low, host.Capture(editor), 0, 0, 507, 248));
}

TEST_F(PluginEditorTest, TheDirectionSwitchTogglesAndTheWheelSteps) {
  const float direction = Get(kDirection);
  Click(kDirectionButton);
  host.Settle();
  EXPECT_EQ(Get(kDirection), 1.0f - direction);

  effect->setParameter(effect, kFilterMix, 0.5f);
  host.Settle();
  host.MoveTo(Editor(parent), kMixKnob.x, kMixKnob.y);
  for (int button : {4, 4, 5}) {
    host.Button(button, true);
    host.Button(button, false);
  }
  host.Settle();
  EXPECT_NEAR(Get(kFilterMix), 0.51f, 0.006f);

  // A step the host forwards counts where the pointer is, and only there.
  const auto hostStep = [&](float step) {
    return effect->dispatcher(effect, effVendorSpecific, 0x73744341, 0x57686565, nullptr, step);
  };
  EXPECT_EQ(hostStep(-1.0f), 1);
  host.Settle();
  EXPECT_NEAR(Get(kFilterMix), 0.50f, 0.006f);
  host.MoveTo(parent, 600, 300);
  EXPECT_EQ(hostStep(1.0f), 0);
}

TEST_F(PluginEditorTest, ARightClickOnFilterTypeOpensItsMenuAndAChoiceApplies) {
  const std::vector<Window> windowsBefore = TopLevel();
  Click(kTypeButtons, 3);
  host.Settle();
  const std::vector<Window> withMenu = TopLevel();
  ASSERT_EQ(withMenu.size(), windowsBefore.size() + 1);
  EXPECT_EQ(host.Capture(withMenu.back()).height, 3 * kListRowHeight + 2);
  host.Click(withMenu.back(), 20, 1 + 2 * kListRowHeight + kListRowHeight / 2);
  host.Settle();
  EXPECT_EQ(TopLevel(), windowsBefore);
  EXPECT_EQ(Get(kFilterType), 1.0f); // Bandpass
}

TEST_F(PluginEditorTest, TheSustainEntryTakes42AndEscapeCancels) {
  Click(kSustainKnob, 3);
  host.Settle();
  host.Type("42");
  host.Key(XK_Return);
  host.Settle();
  EXPECT_EQ(Display(kSustain), "42");

  Click(kSustainKnob, 3);
  host.Settle();
  host.Type("7");
  host.Key(XK_Escape);
  host.Settle();
  EXPECT_EQ(Display(kSustain), "42");
}

TEST_F(PluginEditorTest, TwoInstancesSideBySideKeepToThemselves) {
  second = Create();
  secondParent = host.MakeParent(0, X11TestHost::kParentHeight + 10);
  ASSERT_TRUE(OpenIn(second, secondParent));
  host.Settle();
  effect->setParameter(effect, kFilterFreq, 0.5f);
  second->setParameter(second, kFilterFreq, 0.5f);
  host.Settle();
  host.Drag(Editor(secondParent), kFreqKnob.x, kFreqKnob.y, 0, -40);
  EXPECT_GT(Get(kFilterFreq, second), 0.5f);
  EXPECT_EQ(Get(kFilterFreq), 0.5f);
}

TEST_F(PluginEditorTest, CloseAndReopenEightTimes) {
  for (int i = 0; i < 8; ++i) {
    CloseEditor(effect);
    EXPECT_TRUE(host.Children(parent).empty());
    ASSERT_TRUE(OpenIn(effect, parent));
    host.Settle(50);
    EXPECT_EQ(host.Children(parent).size(), 1u);
  }
}

TEST_F(PluginEditorTest, TheHostMayDestroyTheParentFirst) {
  host.DestroyWindow(parent);
  parent = 0;
  host.Settle();
  CloseEditor(effect);
  // And open again in a new window.
  parent = host.MakeParent();
  ASSERT_TRUE(OpenIn(effect, parent));
  host.Settle();
  EXPECT_NE(Editor(parent), 0u);
}

TEST_F(PluginEditorTest, ThePluginMayCloseWithItsEditorOpen) {
  host.Drag(Editor(parent), kFreqKnob.x, kFreqKnob.y, 0, -10);
  effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
  effect = nullptr;
  host.Settle(20);
  EXPECT_TRUE(host.Children(parent).empty());
}

TEST_F(PluginEditorTest, ProcessingGoesOnWhileTheEditorPaintsAndIsDragged) {
  effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, 48000.0f);
  effect->dispatcher(effect, effSetBlockSize, 0, 64, nullptr, 0.0f);
  effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
  std::vector<float> in(64, 0.25f), left(in.size()), right(in.size());
  float* inputs[2] = {in.data(), in.data()};
  float* outputs[2] = {left.data(), right.data()};
  std::thread audio([&] {
    for (int block = 0; block < 3000; ++block) {
      effect->setParameter(effect, kFilterMix, float(block % 100) / 100.0f);
      effect->processReplacing(effect, inputs, outputs, 64);
    }
  });
  host.Drag(Editor(parent), kFreqKnob.x, kFreqKnob.y, 0, -30);
  audio.join();
  for (float sample : left)
    EXPECT_TRUE(std::isfinite(sample));
  EXPECT_FALSE(GesturesFor(kFilterFreq).empty());
}

// A mark drawn over the envelope strip from outside stays while nothing
// changes (an idle tick paints nothing) and is painted over once the
// envelope moves the marker.
TEST_F(PluginEditorTest, OnlyAMovingEnvelopeRepaintsTheStrip) {
  effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, 44100.0f);
  effect->dispatcher(effect, effSetBlockSize, 0, 256, nullptr, 0.0f);
  effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
  effect->setParameter(effect, kTarget, 1.0f / 3.0f); // the envelope drives the frequency
  effect->setParameter(effect, kDepth, 1.0f);
  host.Settle(500); // whatever these changes repaint is on the screen before the mark
  ::Display* x = host.Connection();
  const Window editor = Editor(parent);
  constexpr std::uint32_t kMark = 0xFF00FF;
  GC gc = XCreateGC(x, editor, 0, nullptr);
  XSetForeground(x, gc, kMark);
  const int width = kStripBottomRight.x - kStripTopLeft.x;
  const int height = kStripBottomRight.y - kStripTopLeft.y;
  XFillRectangle(x, editor, gc, kStripTopLeft.x, kStripTopLeft.y, unsigned(width),
                 unsigned(height));
  XFreeGC(x, gc);
  XSync(x, False);
  auto marked = [&] {
    const WindowPixels shot = host.Capture(editor);
    int count = 0;
    for (int row = kStripTopLeft.y; row < kStripBottomRight.y; ++row)
      for (int column = kStripTopLeft.x; column < kStripBottomRight.x; ++column)
        count += shot.At(column, row) == kMark ? 1 : 0;
    return count;
  };

  host.Settle();
  EXPECT_EQ(marked(), width * height);
  PlayNote(256);
  host.Settle();
  EXPECT_EQ(marked(), 0);
}

// The picture the Windows editor tests take, taken the same way on Linux and
// saved in the build tree: away from text it is the Windows picture in docs/.
TEST_F(PluginEditorTest, LooksAsOnWindowsAwayFromText) {
  CloseEditor(effect);
  effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, 44100.0f);
  effect->dispatcher(effect, effSetBlockSize, 0, 256, nullptr, 0.0f);
  effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
  effect->setParameter(effect, kTarget, 1.0f / 3.0f); // a target, so the marker strip shows
  effect->setParameter(effect, kDirection, 1.0f);
  PlayNote(4096);

  ASSERT_TRUE(SaveEditorScreenshot(effect, QUORVANE_LINUX_SCREENSHOT, 300));
  EXPECT_EQ(DifferencesOutsideText(QUORVANE_LINUX_SCREENSHOT, QUORVANE_WINDOWS_SCREENSHOT, 1), 0);
}

// The desktop's Xft.dpi on the root window while it lives, as xrdb sets it;
// what was there before comes back.
class XftDpiGuard {
public:
  XftDpiGuard(Display* connection, const std::string& resources)
      : display(connection), root(DefaultRootWindow(connection)) {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, root, XA_RESOURCE_MANAGER, 0, 1 << 16, False, XA_STRING, &type,
                           &format, &count, &after, &data) == Success &&
        data != nullptr) {
      saved = std::string(reinterpret_cast<char*>(data), count);
      hadResources = type == XA_STRING;
      XFree(data);
    }
    Set(resources);
  }
  ~XftDpiGuard() {
    if (hadResources)
      Set(saved);
    else
      XDeleteProperty(display, root, XA_RESOURCE_MANAGER);
    XSync(display, False);
  }

private:
  void Set(const std::string& text) {
    XChangeProperty(display, root, XA_RESOURCE_MANAGER, XA_STRING, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(text.data()), int(text.size()));
    XSync(display, False);
  }

  Display* display;
  Window root;
  std::string saved;
  bool hadResources = false;
};

TEST(PluginEditorScale, AtXftDpi192TheEditorIsTheWindowsPictureAt200Percent) {
  X11TestHost host;
  if (!host.Ready()) GTEST_SKIP() << "no X server";
  ASSERT_NE(Module().EntryPoint(), nullptr);
  const XftDpiGuard dpi(host.Connection(), "Xft.antialias:\t1\nXft.dpi:\t192\n");
  AEffect* effect = Module().EntryPoint()(&HostCallback);
  effect->dispatcher(effect, effOpen, 0, 0, nullptr, 0.0f);
  ERect* rect = nullptr;
  ASSERT_EQ(effect->dispatcher(effect, effEditGetRect, 0, 0, &rect, 0.0f), 1);
  EXPECT_EQ(rect->right - rect->left, 1014);
  EXPECT_EQ(rect->bottom - rect->top, 496);

  const bool saved = SaveEditorScreenshot(effect, QUORVANE_LINUX_SCREENSHOT_200, 300);
  effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
  ASSERT_TRUE(saved);
  EXPECT_EQ(
      DifferencesOutsideText(QUORVANE_LINUX_SCREENSHOT_200, QUORVANE_WINDOWS_SCREENSHOT_200, 2), 0);
}

// The user's choice outlives the editor and goes before the system's scale:
// after every other test of the process.
class BackgroundMenuTest : public PluginEditorTest {};

TEST_F(BackgroundMenuTest, TheBackgroundMenuScalesThisAndTheNextEditorAndEscapeCancels) {
  const std::vector<Window> windowsBefore = TopLevel();
  ClearGestures();
  // The menu's rows are 100 % to 300 % in steps of 25 %, at the editor's scale.
  const auto pick = [&](int scale, int row) {
    host.Click(Editor(parent), kBackground.x * scale, kBackground.y * scale, 3);
    host.Settle();
    const std::vector<Window> withMenu = TopLevel();
    ASSERT_EQ(withMenu.size(), windowsBefore.size() + 1);
    const int rowHeight = kListRowHeight * scale;
    EXPECT_EQ(host.Capture(withMenu.back()).height, 9 * rowHeight + 2);
    if (row < 0)
      host.Key(XK_Escape);
    else
      host.Click(withMenu.back(), 10, 1 + row * rowHeight + rowHeight / 2);
    host.Settle();
    EXPECT_EQ(TopLevel(), windowsBefore);
  };
  pick(1, -1);
  EXPECT_EQ(SizeOf(Editor(parent)), std::make_pair(507, 248));
  EXPECT_TRUE(Resizes().empty());

  pick(1, 4);
  EXPECT_EQ(SizeOf(Editor(parent)), std::make_pair(1014, 496));
  EXPECT_EQ(Resizes(), (std::vector<std::pair<int32_t, intptr_t>>{{1014, 496}}));
  CloseEditor(effect);
  ASSERT_TRUE(OpenIn(effect, parent));
  host.Settle();
  EXPECT_EQ(SizeOf(Editor(parent)), std::make_pair(1014, 496));

  // Back to 100 %, for later editors of the process.
  pick(2, 0);
  EXPECT_EQ(SizeOf(Editor(parent)), std::make_pair(507, 248));
}

} // namespace
} // namespace quorvane::test
