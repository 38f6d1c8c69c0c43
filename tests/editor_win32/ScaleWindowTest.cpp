// The editor window at a screen scale of 2 under Wine: asked for by the host
// ('PreS' through effVendorSpecific) or, with no factor from the host, taken
// from the system's DPI (Wine's LogPixels). Either way the window measures
// 1014 x 496 and shows the 2x images.

#include "tests/editor_win32/EditorTestRig.h"

#include "editor/DisplayScale.h"
#include "editor/IControl.h"
#include "raster/RasterBitmap.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

using namespace quorvane;

namespace {

constexpr std::int32_t kBackgroundId = 100;
constexpr std::int32_t kTextSpill = 16;

// Pixels away from every control and its value text that differ from the 2x
// background; -1 when the window is not 1014 x 496.
int DifferencesFromTheTwoTimesBackground(EditorTestRig& rig) {
  IEditorWindow* editor = rig.Editor();
  const std::unique_ptr<RasterBitmap> background =
      editor->BitmapFromResource(DisplayScale::ImageSetId(kBackgroundId, 2), "img/2x/bg.png");
  const WindowPixels shot = rig.Capture();
  if (!background || shot.width != 1014 || shot.height != 496) return -1;
  int differing = 0;
  for (int y = 0; y < shot.height; ++y) {
    for (int x = 0; x < shot.width; ++x) {
      bool covered = false;
      for (std::int32_t i = 1; i < editor->ControlCount() && !covered; ++i) {
        // Value texts are centred under narrow knobs and may spill over.
        Rect r = editor->Control(i)->DrawRect();
        r.left -= kTextSpill;
        r.right += kTextSpill;
        r = editor->ToPixels(r);
        covered = x >= r.left && x < r.right && y >= r.top && y < r.bottom;
      }
      const std::uint32_t expected =
          background->Pixels()[y * background->RowStride() + x] & 0xFFFFFFu;
      if (!covered && shot.At(x, y) != expected) ++differing;
    }
  }
  return differing;
}

void ExpectScaledWindow(EditorTestRig& rig) {
  ERect* rect = nullptr;
  ASSERT_EQ(rig.Record()->dispatcher(rig.Record(), effEditGetRect, 0, 0, &rect, 0.0f), 1);
  EXPECT_EQ(rect->right - rect->left, 1014);
  EXPECT_EQ(rect->bottom - rect->top, 496);
  ASSERT_TRUE(rig.OpenEditor());
  rig.Pump();
  RECT client{};
  GetClientRect(rig.EditorWindow(), &client);
  EXPECT_EQ(client.right, 1014);
  EXPECT_EQ(client.bottom, 496);
  EXPECT_EQ(DifferencesFromTheTwoTimesBackground(rig), 0);
}

TEST(ScaleWindowTest, TheHostsFactorTwoGivesATwiceAsLargeWindowOfTheTwoTimesImages) {
  EditorTestRig rig;
  rig.CreatePlugin();
  EXPECT_EQ(rig.Record()->dispatcher(rig.Record(), effVendorSpecific, IEffectVST::kScaleRequest,
                                     IEffectVST::kScaleRequestValue, nullptr, 2.0f),
            1);
  ExpectScaledWindow(rig);
}

// Runs in a Wine prefix whose LogPixels is 192 (the test command makes it);
// elsewhere there is nothing to measure.
TEST(ScaleWindowTest, WithoutAHostFactorTheSystemsDpiOf192GivesTheSameWindow) {
  const char* expected = std::getenv("QUORVANE_EXPECT_DPI");
  if (expected == nullptr || std::string(expected) != "192")
    GTEST_SKIP() << "needs a Wine prefix with LogPixels 192";
  // As a host that declares itself aware of the DPI.
  SetProcessDPIAware();
  EditorTestRig rig;
  rig.CreatePlugin();
  ExpectScaledWindow(rig);
}

} // namespace
