// Opens the editor as a host would, lets it paint, and saves what the
// window shows as the project's editor screenshot.

#include "EditorTestRig.h"

#include "editor_win32/PngFileWriter.h"
#include "raster/PngDecoder.h"
#include "raster/RasterBitmap.h"

#include <gtest/gtest.h>

#include <memory>

using namespace quorvane;

namespace {

TEST(EditorScreenshot, SavesWhatTheWindowShows) {
  EditorTestRig rig;
  rig.CreatePlugin();
  rig.SetParameter(4, 1.0f / 3.0f); // a target, so the marker strip shows
  rig.SetParameter(10, 1.0f);       // direction down: the button is lit
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

TEST(EditorScreenshot, RefusesWhatItCannotWrite) {
  const std::uint32_t pixels[4] = {0xFF102030u, 0xFF405060u, 0xFF708090u, 0xFFA0B0C0u};
  EXPECT_FALSE(WritePngFile(nullptr, pixels, 2, 2, 2));
  EXPECT_FALSE(WritePngFile("unused.png", nullptr, 2, 2, 2));
  EXPECT_FALSE(WritePngFile("unused.png", pixels, 0, 2, 2));
  EXPECT_FALSE(WritePngFile("unused.png", pixels, 2, 2, 1));
  EXPECT_FALSE(WritePngFile("no-such-folder/x.png", pixels, 2, 2, 2));
  EXPECT_FALSE(SaveEditorScreenshot(nullptr, "unused.png", 0));

  ASSERT_TRUE(WritePngFile("tiny.png", pixels, 2, 2, 2));
  std::unique_ptr<RasterBitmap> back(DecodePngFile("tiny.png"));
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->Pixels()[0], 0xFF102030u);
  EXPECT_EQ(back->Pixels()[back->RowStride() + 1], 0xFFA0B0C0u);
}

} // namespace
