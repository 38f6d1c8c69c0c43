// The effect's editor at the supported screen scales, with the real images:
// its size, its answers to the pointer, its pictures and its text follow the
// scale, and a change while it is open goes through the host.

#include "ImageFileSurface.h"

#include "editor/DisplayScale.h"
#include "editor/IControl.h"
#include "effect/EditorGeometry.h"
#include "effect/EditorImages.h"
#include "effect/VSTCLASS.h"
#include "raster/BlitBitmap.h"
#include "raster/PngDecoder.h"
#include "raster/RasterBitmap.h"
#include "tests/editor/RecordingGlyphSource.h"
#include "tests/support/RecordingHost.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace quorvane::test {
namespace {

using namespace editor_geometry;

struct ScaleCase {
  double scale;
  std::int32_t width;
  std::int32_t height;
};

constexpr ScaleCase kScales[] = {
    {1.0, 507, 248}, {1.25, 634, 310}, {1.5, 761, 372}, {2.0, 1014, 496}, {3.0, 1521, 744}};

std::unique_ptr<RasterBitmap> Image(const char* file) {
  const std::string path = std::string(QUORVANE_SOURCE_DIR "/img/") + file;
  return std::unique_ptr<RasterBitmap>(DecodePngFile(path.c_str()));
}

std::uint32_t PixelOf(const RasterBitmap& bitmap, int x, int y) {
  return bitmap.Pixels()[y * bitmap.RowStride() + x];
}

class EditorScaleTest : public ::testing::Test {
protected:
  void Build(double scale) {
    plugin = std::make_unique<VSTCLASS>(host.Callback(), &ImageFileSurface::Make);
    plugin->FinishCreation();
    surface = dynamic_cast<ImageFileSurface*>(plugin->Editor());
    ASSERT_NE(surface, nullptr);
    ASSERT_TRUE(surface->SetScale(scale));
    surface->MarkAllDirty();
    surface->Frame();
  }

  int Px(int logical) const { return DisplayScale::ToPixels(logical, surface->Scale()); }

  std::vector<std::uint32_t> Picture() const {
    const RasterBitmap& back = *surface->BackBuffer();
    std::vector<std::uint32_t> pixels;
    for (int y = 0; y < back.Height(); ++y)
      for (int x = 0; x < back.Width(); ++x)
        pixels.push_back(PixelOf(back, x, y));
    return pixels;
  }

  RecordingHost host;
  std::unique_ptr<VSTCLASS> plugin;
  ImageFileSurface* surface = nullptr;
  const MouseMods left{true, false, false, false, false};
  const MouseMods right{false, true, false, false, false};
  const MouseMods none{};
};

TEST(EditorImageSets, EverySetIsTheOneTimesSetAtItsSizeWithWholeFrames) {
  struct Entry {
    const char* file;
    int frames;
  };
  const Entry entries[] = {
#define QUORVANE_IMAGE_ROW(name, id, file, frames) {file, frames},
      QUORVANE_EDITOR_IMAGES(QUORVANE_IMAGE_ROW)
#undef QUORVANE_IMAGE_ROW
  };
  for (const Entry& e : entries) {
    const auto base = Image(e.file);
    ASSERT_TRUE(base) << e.file;
    for (int set = 2; set <= DisplayScale::kLargestImageSet; ++set) {
      const std::string name = DisplayScale::ImageSetName(e.file, set);
      const auto image = Image(name.c_str());
      ASSERT_TRUE(image) << name;
      EXPECT_EQ(image->Width(), base->Width() * set) << name;
      EXPECT_EQ(image->Height(), base->Height() * set) << name;
    }
    // Frames stay whole pixels at every quarter step between the sets.
    const int quarterFrames = 4 * e.frames;
    if (e.frames > 1) {
      EXPECT_TRUE(base->Width() % quarterFrames == 0 || base->Height() % quarterFrames == 0)
          << e.file;
    }
  }
}

TEST_F(EditorScaleTest, TheEditorAndItsFirstFrameMeasureTheScaledPanel) {
  for (const ScaleCase& c : kScales) {
    Build(c.scale);
    EXPECT_EQ(surface->EditorWidth(), c.width) << c.scale;
    EXPECT_EQ(surface->EditorHeight(), c.height) << c.scale;
    EXPECT_EQ(surface->BackBuffer()->Width(), c.width) << c.scale;
    EXPECT_EQ(surface->BackBuffer()->Height(), c.height) << c.scale;
    ASSERT_FALSE(surface->blits.empty());
    EXPECT_TRUE(SameRect(surface->blits.back(), Rect{0, 0, c.width, c.height})) << c.scale;
  }
}

TEST_F(EditorScaleTest, PointerGesturesActAlikeInLogicalUnitsAtEveryScale) {
  double dragged = 0.0;
  for (const ScaleCase& c : kScales) {
    Build(c.scale);
    const auto freq = VSTCLASS::kParamFilterFreq;
    plugin->SetParameterFromHost(freq, 0.5);
    const int x = Px(kFilterFreqKnob.x);
    const int y = Px(kFilterFreqKnob.y);
    surface->SurfaceMouseDown(x, y, left);
    surface->SurfaceDrag(x, y - Px(30), left);
    surface->SurfaceMouseUp(x, y - Px(30), left);
    const double moved = plugin->ParameterForHost(freq) - 0.5;
    if (c.scale == 1.0) dragged = moved;
    EXPECT_GT(moved, 0.0);
    EXPECT_DOUBLE_EQ(moved, dragged) << c.scale;

    // The Filter Freq knob reaches logical x 81; 82 to 91 is background.
    plugin->SetParameterFromHost(freq, 0.5);
    surface->SurfaceWheel(Px(82), Px(160), none, 1);
    EXPECT_EQ(plugin->ParameterForHost(freq), 0.5) << c.scale;
    surface->SurfaceWheel(Px(81), Px(160), none, 1);
    EXPECT_GT(plugin->ParameterForHost(freq), 0.5) << c.scale;
  }
}

TEST_F(EditorScaleTest, TwoTimesRenderIsDrawnFromTheTwoTimesImages) {
  Build(2.0);
  plugin->SetParameterFromHost(VSTCLASS::kParamEnvCompensation, 1.0);
  surface->Frame();
  // The reference: the 2x background, the compensation switch's last frame
  // drawn over it as the switch draws it.
  const auto reference = Image("2x/bg.png");
  const auto strip = Image("2x/comp.png");
  ASSERT_TRUE(reference && strip);
  const int frameHeight = strip->Height() / 3;
  BlitBitmap(reference.get(), strip.get(), Px(kEnvCompensationSwitch.x),
             Px(kEnvCompensationSwitch.y), 0, 2 * frameHeight, strip->Width(), frameHeight, 1.0f,
             Blend{Blend::kThroughAlpha, 1.0f}.ModeWord());

  const RasterBitmap& back = *surface->BackBuffer();
  ASSERT_EQ(back.Width(), reference->Width());
  IControl* compensation = nullptr;
  for (std::int32_t i = 1; i < surface->ControlCount(); ++i)
    if (surface->Control(i)->ParamIndex() == VSTCLASS::kParamEnvCompensation)
      compensation = surface->Control(i);
  ASSERT_NE(compensation, nullptr);
  int compared = 0;
  int differing = 0;
  for (int y = 0; y < back.Height(); ++y) {
    for (int x = 0; x < back.Width(); ++x) {
      // Outside every other control (their texts, knobs and handles are not
      // images of the set).
      bool covered = false;
      for (std::int32_t i = 1; i < surface->ControlCount(); ++i) {
        const IControl* control = surface->Control(i);
        const Rect r = surface->ToPixels(control->DrawRect());
        if (control != compensation && !control->IsHidden() && x >= r.left && x < r.right &&
            y >= r.top && y < r.bottom)
          covered = true;
      }
      if (covered) continue;
      ++compared;
      differing += PixelOf(back, x, y) != PixelOf(*reference, x, y) ? 1 : 0;
    }
  }
  EXPECT_GT(compared, 1014 * 496 / 2);
  EXPECT_EQ(differing, 0);
}

TEST_F(EditorScaleTest, TextIsSetInAFontOfTheScaledSize) {
  Build(1.5);
  RecordingGlyphSource& source = RecordingGlyphSource::Instance();
  TextStyle style;
  std::strcpy(style.fontName, "ScaleTestSans");
  style.size = 10;
  style.color = Color{255, 1, 2, 3};
  source.drawn.clear();
  ASSERT_TRUE(surface->PaintText(style, "x", Rect{10, 20, 60, 30}));
  ASSERT_EQ(surface->fontSizes.back(), 15);
  ASSERT_EQ(source.drawn.size(), 1u);
  EXPECT_TRUE(SameRect(source.drawn[0].rect, Rect{15, 30, 90, 45}));
  surface->SetScale(1.0);
  ASSERT_TRUE(surface->PaintText(style, "x", Rect{10, 20, 60, 30}));
  EXPECT_EQ(surface->fontSizes.back(), 10);
}

TEST_F(EditorScaleTest, FactorsSnapToQuarterStepsFromOneToFourAndNonsenseIsRefused) {
  Build(1.0);
  const struct {
    double asked;
    bool taken;
    double scale;
  } cases[] = {{1.3, true, 1.25},          {0.5, true, 1.0},
               {7.0, true, 4.0},           {2.0, true, 2.0},
               {0.0, false, 2.0},          {-1.0, false, 2.0},
               {std::nan(""), false, 2.0}, {std::numeric_limits<double>::infinity(), false, 2.0}};
  for (const auto& c : cases) {
    EXPECT_EQ(surface->SetScale(c.asked), c.taken) << c.asked;
    EXPECT_EQ(surface->Scale(), c.scale) << c.asked;
    EXPECT_EQ(surface->EditorWidth(), std::lround(507 * c.scale)) << c.asked;
  }
}

TEST_F(EditorScaleTest, AnOpenEditorAsksTheHostAndKeepsItsSizeWhenRefused) {
  Build(1.0);
  surface->OpenEditorWindow(nullptr);
  surface->Frame();
  const std::vector<std::uint32_t> before = Picture();

  host.sizeWindowAnswer = 0;
  host.Clear();
  EXPECT_FALSE(surface->SetHostScale(2.0f));
  ASSERT_EQ(host.Count(audioMasterSizeWindow), 1);
  EXPECT_EQ(host.calls[0].index, 1014);
  EXPECT_EQ(host.calls[0].value, 496);
  EXPECT_EQ(surface->EditorWidth(), 507);
  surface->Frame();
  EXPECT_EQ(Picture(), before) << "the old size, drawn whole";

  host.sizeWindowAnswer = 1;
  EXPECT_TRUE(surface->SetHostScale(2.0f));
  EXPECT_EQ(surface->EditorWidth(), 1014);
  EXPECT_EQ(surface->EditorHeight(), 496);
}

TEST_F(EditorScaleTest, TheBackgroundMenuSetsTheScaleForThisAndLaterEditors) {
  Build(1.0);
  surface->menuAnswer = 4;
  surface->SurfaceMouseDown(Px(87), Px(160), right);
  surface->SurfaceMouseUp(Px(87), Px(160), right);
  ASSERT_EQ(surface->menus.size(), 1u);
  EXPECT_EQ(surface->menus[0],
            (std::vector<std::string>{"100 %", "125 %", "150 %", "175 %", "200 %", "225 %", "250 %",
                                      "275 %", "300 %"}));
  EXPECT_EQ(surface->Scale(), 2.0);

  Build(1.0);
  EXPECT_EQ(surface->PreferredScale(1.5), 2.0) << "the user's choice over the system's";
  surface->SetHostScale(3.0f);
  EXPECT_EQ(surface->PreferredScale(1.5), 3.0) << "the host's factor over the user's";

  // Back to 100 %, for this and every later editor of the process.
  surface->menuAnswer = 0;
  surface->SurfaceMouseDown(Px(87), Px(160), right);
  EXPECT_EQ(surface->Scale(), 1.0);
  EXPECT_EQ(IEditorSurface::UserScale(), 1.0);
}

} // namespace
} // namespace quorvane::test
