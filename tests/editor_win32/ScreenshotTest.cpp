// Opens the editor as a host would, lets it paint, and saves what the
// window shows as the project's editor screenshot.

#include "tests/editor_win32/EditorTestRig.h"

#include "raster/PngDecoder.h"
#include "raster/RasterBitmap.h"

#include <gtest/gtest.h>

#include <memory>

using namespace quorvane;

namespace {

TEST(EditorScreenshot, SavesWhatTheWindowShows) {
  EditorTestRig rig;
  rig.CreatePlugin();
  rig.SetParameter(VSTCLASS::kParamEnvTarget, 1.0f / 3.0f); // a target, so the marker strip shows
  rig.SetParameter(VSTCLASS::kParamEnvDirection, 1.0f);       // direction down: the button is lit
  rig.NoteOn();
  rig.ProcessBlock(4096);
  ASSERT_TRUE(SaveEditorScreenshot(rig.Record(), QUORVANE_SCREENSHOT_PATH, 300));

  std::unique_ptr<RasterBitmap> saved(DecodePngFile(QUORVANE_SCREENSHOT_PATH));
  ASSERT_NE(saved, nullptr);
  EXPECT_EQ(saved->Width(), 507);
  EXPECT_EQ(saved->Height(), 248);
  // Not a blank window: the picture has many colours.
  std::uint32_t first = saved->Pixels()[0];
  int different = 0;
  for (int y = 0; y < saved->Height(); y += 4)
    for (int x = 0; x < saved->Width(); x += 4)
      if (saved->Pixels()[static_cast<std::ptrdiff_t>(y) * saved->RowStride() + x] != first)
        ++different;
  EXPECT_GT(different, 1000);
}

TEST(EditorScreenshot, RefusesAPluginWithoutEditor) {
  EXPECT_FALSE(SaveEditorScreenshot(nullptr, "unused.png", 0));
}

} // namespace
