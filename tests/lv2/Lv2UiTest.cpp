// The LV2 UI as a host sees it: found through lilv, loaded by suil into a parent window under an
// X server, driven with real X input; what it writes to the control ports is what the host's
// write function receives in the idle calls, and the host's port events move the controls and
// the envelope strip. The editor's gestures and sizes reach the host's touch and resize features,
// on the host's thread. No X error reaches the host, and nothing stays behind after cleanup.

#include <gtest/gtest.h>

// Xlib's macros after GoogleTest's names.
#include "effect/EditorGeometry.h"
#include "tests/editor_x11/X11TestHost.h"
#include "tests/lv2/Lv2TestHost.h"

#include <lv2/ui/ui.h>
#include <suil/suil.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace quorvane::test {
namespace {

namespace geometry = editor_geometry;

constexpr uint32_t kFilterTypePort = 6;
constexpr uint32_t kFilterFreqPort = 7;
constexpr uint32_t kDirectionPort = 16;
constexpr uint32_t kEnvelopePort = 20;          // where the envelope is, 0 to 1
constexpr uint32_t kEnvelopeActivePort = 21;    // whether it drives anything
constexpr int kButtonInset = 10;                // into a button from its top left corner
constexpr geometry::Point kBackground{20, 150}; // inside the parent at 200 % too
constexpr int kMenuRowHeight = 18;              // at 100 %

struct PortWrite {
  uint32_t port;
  float value;
  bool operator==(const PortWrite& o) const { return port == o.port && value == o.value; }
};

// The host calls that carry a port, in the order they came.
struct PortCall {
  enum Kind { Write, Grab, Release } kind;
  uint32_t port;
  bool operator==(const PortCall& o) const { return kind == o.kind && port == o.port; }
};

using Size = std::pair<int, int>;

class Lv2UiTest : public ::testing::Test {
protected:
  void SetUp() override {
    if (!host.Ready()) {
      ASSERT_EQ(std::getenv("DISPLAY"), nullptr) << "the X server DISPLAY names is unreachable";
      GTEST_SKIP() << "no X server";
    }
    LilvUIs* uis = lilv_plugin_get_uis(world.Plugin());
    ASSERT_EQ(lilv_uis_size(uis), 1u);
    const LilvUI* ui = lilv_uis_get(uis, lilv_uis_begin(uis));
    uiUri = lilv_node_as_uri(lilv_ui_get_uri(ui));
    bundlePath = FilePath(lilv_ui_get_bundle_uri(ui));
    binaryPath = FilePath(lilv_ui_get_binary_uri(ui));
    LilvNode* x11 = lilv_new_uri(world.World(), LV2_UI__X11UI);
    EXPECT_TRUE(lilv_ui_is_a(ui, x11));
    lilv_node_free(x11);
    lilv_uis_free(uis);

    errorsBefore = X11TestHost::ErrorsSeen();
    suilHost = suil_host_new(&Write, nullptr, nullptr, nullptr);
    parent = host.MakeParent();
    // Once opened and freed first, so that what a runtime starts along with the first thread (a
    // sanitizer's) counts in what was there before.
    instance = Open(parent);
    ASSERT_NE(instance, nullptr);
    suil_instance_free(instance);
    host.DestroyWindow(parent);
    before = host.Measure();
    parent = host.MakeParent();
    instance = Open(parent);
    ASSERT_NE(instance, nullptr);
    host.Settle();
  }

  void TearDown() override {
    if (!host.Ready()) return;
    if (instance != nullptr) suil_instance_free(instance);
    if (suilHost != nullptr) suil_host_free(suilHost);
    if (parent != 0) host.DestroyWindow(parent);
    host.Settle(20);
    EXPECT_EQ(host.Measure(), before);
    EXPECT_EQ(X11TestHost::ErrorsSeen(), errorsBefore);
  }

  static std::string FilePath(const LilvNode* uri) {
    char* path = lilv_file_uri_parse(lilv_node_as_uri(uri), nullptr);
    std::string copy = path;
    lilv_free(path);
    return copy;
  }

  // pluginUri: null for the bundle's plug-in.
  SuilInstance* Open(Window window, bool withParent = true, const char* pluginUri = nullptr) {
    if (pluginUri == nullptr) pluginUri = lilv_node_as_uri(lilv_plugin_get_uri(world.Plugin()));
    resize = LV2UI_Resize{this, &Resize};
    touch = LV2UI_Touch{this, &Touch};
    const LV2_Feature parentFeature{LV2_UI__parent, reinterpret_cast<void*>(window)};
    const LV2_Feature idleFeature{LV2_UI__idleInterface, nullptr};
    const LV2_Feature resizeFeature{LV2_UI__resize, &resize};
    const LV2_Feature touchFeature{LV2_UI__touch, &touch};
    const LV2_Feature* features[] = {&idleFeature, &resizeFeature,
                                     offerTouch ? &touchFeature : &idleFeature,
                                     withParent ? &parentFeature : nullptr, nullptr};
    return suil_instance_new(suilHost, this, LV2_UI__X11UI, pluginUri, uiUri.c_str(), LV2_UI__X11UI,
                             bundlePath.c_str(), binaryPath.c_str(), features);
  }

  // The host's idle call; answers what the UI wrote meanwhile.
  std::vector<PortWrite> Idle() {
    const auto* idle = static_cast<const LV2UI_Idle_Interface*>(
        suil_instance_extension_data(instance, LV2_UI__idleInterface));
    writes.clear();
    calls.clear();
    resizes.clear();
    EXPECT_NE(idle, nullptr);
    if (idle != nullptr) {
      EXPECT_EQ(idle->idle(suil_instance_get_handle(instance)), 0);
    }
    return writes;
  }

  void PortEvent(uint32_t port, float value) {
    suil_instance_port_event(instance, port, sizeof value, 0, &value);
    host.Settle();
  }

  // The host's own resize request, through the UI's resize interface.
  int AskForSize(Size size) {
    const auto* uiResize =
        static_cast<const LV2UI_Resize*>(suil_instance_extension_data(instance, LV2_UI__resize));
    const int answer =
        uiResize->ui_resize(suil_instance_get_handle(instance), size.first, size.second);
    host.Settle();
    return answer;
  }

  // A row of the background's menu of scales (100 % to 300 %), its rows at the editor's scale.
  void PickScale(int scale, int row) {
    host.Click(Editor(), kBackground.x * scale, kBackground.y * scale, 3);
    host.Settle();
    const Window menu = host.Children(DefaultRootWindow(host.Connection())).back();
    host.Click(menu, 10, (2 * row + 1) * kMenuRowHeight * scale / 2);
    host.Settle();
  }

  Size EditorSize() {
    const WindowPixels shot = host.Capture(Editor());
    return {shot.width, shot.height};
  }

  Window Editor() const {
    return Window(reinterpret_cast<std::uintptr_t>(suil_instance_get_widget(instance)));
  }

  void Click(geometry::Point corner) {
    host.Click(Editor(), corner.x + kButtonInset, corner.y + kButtonInset);
    host.Settle();
  }

  static void Write(SuilController controller, uint32_t port, uint32_t size, uint32_t protocol,
                    const void* buffer) {
    auto* self = static_cast<Lv2UiTest*>(controller);
    ASSERT_EQ(size, sizeof(float));
    ASSERT_EQ(protocol, 0u);
    self->writes.push_back({port, *static_cast<const float*>(buffer)});
    self->calls.push_back({PortCall::Write, port});
  }
  static int Resize(LV2UI_Feature_Handle handle, int width, int height) {
    auto* self = static_cast<Lv2UiTest*>(handle);
    EXPECT_EQ(std::this_thread::get_id(), self->hostThread);
    self->announcedSize = {width, height};
    self->resizes.emplace_back(width, height);
    return self->refuseSizes ? 1 : 0;
  }
  static void Touch(LV2UI_Feature_Handle handle, uint32_t port, bool grabbed) {
    auto* self = static_cast<Lv2UiTest*>(handle);
    EXPECT_EQ(std::this_thread::get_id(), self->hostThread);
    self->calls.push_back({grabbed ? PortCall::Grab : PortCall::Release, port});
  }

  X11TestHost host;
  Lv2TestWorld world;
  std::string uiUri, bundlePath, binaryPath;
  Footprint before;
  int errorsBefore = 0;
  SuilHost* suilHost = nullptr;
  Window parent = 0;
  SuilInstance* instance = nullptr;
  LV2UI_Resize resize{};
  LV2UI_Touch touch{};
  bool offerTouch = true;
  bool refuseSizes = false;
  const std::thread::id hostThread = std::this_thread::get_id();
  Size announcedSize;
  std::vector<Size> resizes;
  std::vector<PortWrite> writes;
  std::vector<PortCall> calls;
};

TEST_F(Lv2UiTest, OpensInTheParentAtTheEditorsSize) {
  EXPECT_EQ(host.Children(parent), std::vector<Window>{Editor()});
  EXPECT_EQ(announcedSize, std::make_pair(507, 248));
  const WindowPixels shot = host.Capture(Editor());
  EXPECT_EQ(std::make_pair(shot.width, shot.height), std::make_pair(507, 248));
}

TEST_F(Lv2UiTest, ClicksWriteTheControlPortsInTheIdleCalls) {
  // The type buttons run left to right: the click on the first chooses Lowpass.
  Click(geometry::kFilterTypeButtons);
  Click(geometry::kEnvDirectionButton);
  EXPECT_EQ(Idle(), (std::vector<PortWrite>{{kFilterTypePort, 0.0f}, {kDirectionPort, 1.0f}}));
  EXPECT_EQ(Idle(), std::vector<PortWrite>{});
}

TEST_F(Lv2UiTest, PortEventsMoveTheControlsAndTheEnvelopeStripWithoutWritingBack) {
  const WindowPixels start = host.Capture(Editor());
  PortEvent(kFilterTypePort, 0.0f);
  const geometry::Point type = geometry::kFilterTypeButtons;
  EXPECT_TRUE(
      RegionDiffers(start, host.Capture(Editor()), type.x, type.y, type.x + 80, type.y + 20));
  PortEvent(kFilterTypePort, 1.0f);
  EXPECT_FALSE(RegionDiffers(start, host.Capture(Editor()), 0, 0, 507, 248));

  const Rect strip = geometry::kEnvelopeStrip;
  PortEvent(kEnvelopePort, 0.5f); // not yet shown
  EXPECT_FALSE(RegionDiffers(start, host.Capture(Editor()), 0, 0, 507, 248));
  PortEvent(kEnvelopeActivePort, 1.0f);
  const WindowPixels shown = host.Capture(Editor());
  const int middle = (strip.left + strip.right) / 2;
  EXPECT_FALSE(RegionDiffers(start, shown, strip.left, strip.top, middle - 8, strip.bottom));
  EXPECT_TRUE(RegionDiffers(start, shown, middle - 8, strip.top, middle + 8, strip.bottom));

  // Broken events change nothing: another format, size or port, a missing buffer, no number.
  const float one = 1.0f;
  suil_instance_port_event(instance, kFilterTypePort, sizeof one, 1, &one);
  suil_instance_port_event(instance, kFilterTypePort, 2, 0, &one);
  suil_instance_port_event(instance, kFilterTypePort, sizeof one, 0, nullptr);
  suil_instance_port_event(instance, 5000, sizeof one, 0, &one);
  const float nan = std::nanf("");
  for (uint32_t port : {kFilterTypePort, kEnvelopePort, kEnvelopeActivePort})
    suil_instance_port_event(instance, port, sizeof nan, 0, &nan);
  host.Settle();
  EXPECT_FALSE(RegionDiffers(shown, host.Capture(Editor()), 0, 0, 507, 248));
  EXPECT_EQ(Idle(), std::vector<PortWrite>{});
}

TEST_F(Lv2UiTest, RefusedWithoutAParentOrForAnotherPlugin) {
  EXPECT_EQ(Open(parent, false), nullptr);
  EXPECT_EQ(Open(parent, true, "https://kelto.example/plugins/other"), nullptr);
  EXPECT_EQ(host.Children(parent).size(), 1u);
}

TEST_F(Lv2UiTest, ADragIsOneTouchGestureWhenTheHostOffersTouch) {
  for (const bool offered : {true, false}) {
    if (!offered) { // the host reopens the UI without the feature
      suil_instance_free(instance);
      offerTouch = false;
      instance = Open(parent);
      ASSERT_NE(instance, nullptr);
      host.Settle();
    }
    host.Drag(Editor(), geometry::kFilterFreqKnob.x, geometry::kFilterFreqKnob.y, 0, -40);
    Idle();
    // Writes only, between a grab and a release when the host listens for them.
    const std::size_t ends = offered ? 1 : 0;
    ASSERT_GE(calls.size(), 1 + 2 * ends);
    EXPECT_EQ(calls.front().kind, offered ? PortCall::Grab : PortCall::Write);
    EXPECT_EQ(calls.back().kind, offered ? PortCall::Release : PortCall::Write);
    for (std::size_t i = 0; i < calls.size(); ++i)
      EXPECT_EQ(calls[i].port, kFilterFreqPort);
    for (std::size_t i = ends; i < calls.size() - ends; ++i)
      EXPECT_EQ(calls[i].kind, PortCall::Write) << i;
  }
}

TEST_F(Lv2UiTest, TheHostHearsEveryNewSizeAndTheEditorFitsTheHostsOwn) {
  PickScale(1, 4);
  EXPECT_EQ(EditorSize(), Size(1014, 496));
  Idle();
  EXPECT_EQ(resizes, std::vector<Size>{Size(1014, 496)});

  // A host that refuses a size keeps the editor at the one it took.
  refuseSizes = true;
  PickScale(2, 2);
  Idle();
  refuseSizes = false;
  EXPECT_EQ(resizes, std::vector<Size>{Size(761, 372)});
  host.Settle();
  EXPECT_EQ(EditorSize(), Size(1014, 496));

  // The host's sizes: the largest scale that fits, told back when it is not the host's own.
  const struct {
    Size asked;
    int answer;
    Size shown;
    std::vector<Size> told;
  } cases[] = {
      {{800, 400}, 0, {761, 372}, {{761, 372}}},
      {{506, 900}, 1, {761, 372}, {}}, // narrower than the editor at 100 %
      {{1014, 496}, 0, {1014, 496}, {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(AskForSize(c.asked), c.answer) << c.asked.first;
    EXPECT_EQ(EditorSize(), c.shown) << c.asked.first;
    Idle();
    EXPECT_EQ(resizes, c.told) << c.asked.first;
  }

  // Back to 100 %, for later editors of the process.
  PickScale(2, 0);
  Idle();
  EXPECT_EQ(resizes, std::vector<Size>{Size(507, 248)});
  EXPECT_EQ(EditorSize(), Size(507, 248));
}

TEST_F(Lv2UiTest, ClosingHandsTheHostTheLastChangeAndEndsTheWheelsGesture) {
  Idle();
  // Wheel up; the gesture stays open for further steps, and the host closes meanwhile.
  host.Click(Editor(), geometry::kFilterFreqKnob.x, geometry::kFilterFreqKnob.y, 4);
  host.Settle(100);
  suil_instance_free(instance);
  instance = nullptr;
  EXPECT_EQ(calls, (std::vector<PortCall>{{PortCall::Grab, kFilterFreqPort},
                                          {PortCall::Write, kFilterFreqPort},
                                          {PortCall::Release, kFilterFreqPort}}));
}

} // namespace
} // namespace quorvane::test
