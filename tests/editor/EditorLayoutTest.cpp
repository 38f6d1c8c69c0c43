// The effect's own editor on the neutral surface, as the layout builds it:
// every one of the fourteen parameters shows what the host sets, and a mouse
// gesture on each control reaches the host as begin, automate, end.

#include "ImageFileSurface.h"

#include "editor/IControl.h"
#include "effect/VSTCLASS.h"
#include "raster/RasterBitmap.h"
#include "tests/support/RecordingHost.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quorvane::test {
namespace {

enum class Gesture { Begin, Automate, End };

class EditorLayoutTest : public ::testing::Test {
protected:
  void SetUp() override {
    plugin = std::make_unique<VSTCLASS>(host.Callback(), &ImageFileSurface::Make);
    plugin->FinishCreation();
    surface = dynamic_cast<ImageFileSurface*>(plugin->Editor());
    ASSERT_NE(surface, nullptr);
    surface->MarkAllDirty();
    surface->Frame();
  }

  IControl* ControlFor(std::int32_t param) const {
    for (std::int32_t i = 0; i < surface->ControlCount(); ++i)
      if (surface->Control(i)->ParamIndex() == param) return surface->Control(i);
    return nullptr;
  }

  std::vector<std::uint32_t> Pixels(const Rect& r) const {
    std::vector<std::uint32_t> pixels;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x)
        pixels.push_back(surface->Pixel(x, y));
    return pixels;
  }

  // The host's calls for param; a run of automations counts once.
  std::vector<Gesture> GesturesFor(std::int32_t param) const {
    std::vector<Gesture> seen;
    for (const HostCall& call : host.calls) {
      if (call.index != param) continue;
      const bool repeat = !seen.empty() && seen.back() == Gesture::Automate;
      if (call.opcode == audioMasterBeginEdit) seen.push_back(Gesture::Begin);
      if (call.opcode == audioMasterAutomate && !repeat) seen.push_back(Gesture::Automate);
      if (call.opcode == audioMasterEndEdit) seen.push_back(Gesture::End);
    }
    return seen;
  }

  void Click(int x, int y) {
    surface->SurfaceMouseDown(x, y, left);
    surface->SurfaceMouseUp(x, y, left);
    surface->Frame();
  }

  RecordingHost host;
  std::unique_ptr<VSTCLASS> plugin;
  ImageFileSurface* surface = nullptr;
  const MouseMods left{true, false, false, false, false};
};

TEST_F(EditorLayoutTest, EveryParameterSetByTheHostShowsOnItsControl) {
  for (std::int32_t param = 0; param < VSTCLASS::kParamCount; ++param) {
    IControl* control = ControlFor(param);
    ASSERT_NE(control, nullptr) << "parameter " << param;
    plugin->SetParameterFromHost(param, 0.1);
    surface->Frame();
    const std::vector<std::uint32_t> low = Pixels(control->DrawRect());
    plugin->SetParameterFromHost(param, 0.9);
    surface->Frame();
    EXPECT_NE(Pixels(control->DrawRect()), low) << "parameter " << param;
    plugin->SetParameterFromHost(param, 0.1);
    surface->Frame();
    EXPECT_EQ(Pixels(control->DrawRect()), low) << "parameter " << param;
  }
}

TEST_F(EditorLayoutTest, AMouseGestureOnEveryControlReachesTheHostAsBeginAutomateEnd) {
  using P = VSTCLASS;
  // Knobs and the slider are dragged, the rest clicked.
  struct Case {
    std::int32_t param;
    int x, y;   // where the button goes down, from the control's top left
    int dx, dy; // how far it is dragged
  };
  const Case cases[] = {
      {P::kParamFilterType, 4, 6, 0, 0},          {P::kParamFilterFreq, 30, 16, 0, -30},
      {P::kParamFilterBandwidth, 16, 16, 0, -30}, {P::kParamFilterMix, 16, 16, 0, 30},
      {P::kParamEnvTarget, 20, 6, 0, 0},          {P::kParamEnvAttack, 16, 16, 0, -30},
      {P::kParamEnvDecay, 16, 16, 0, -30},        {P::kParamEnvSustain, 16, 16, 0, 30},
      {P::kParamEnvRelease, 16, 16, 0, -30},      {P::kParamEnvDepth, 16, 16, 0, 30},
      {P::kParamEnvDirection, 20, 8, 0, 0},       {P::kParamEnvVolCompensation, 20, 8, 25, 0},
      {P::kParamEnvCompensation, 15, 10, 0, 0},   {P::kParamEnvReset, 7, 7, 0, 0},
  };
  for (const Case& c : cases) {
    const Rect& r = ControlFor(c.param)->DrawRect();
    const int x = r.left + c.x;
    const int y = r.top + c.y;
    host.Clear();
    std::vector<Gesture> expected{Gesture::Begin, Gesture::Automate, Gesture::End};
    if (c.param == P::kParamEnvTarget) {
      // The click that opens the list is a gesture of its own; the pick in
      // the list reaches the host when the drop-down next paints.
      Click(x, y);
      Click(x, r.bottom + 40);
      expected.push_back(Gesture::Automate);
      EXPECT_EQ(plugin->ParameterForHost(c.param), 1.0);
    } else {
      surface->SurfaceMouseDown(x, y, left);
      if (c.dx != 0 || c.dy != 0) surface->SurfaceDrag(x + c.dx, y + c.dy, left);
      surface->SurfaceMouseUp(x + c.dx, y + c.dy, left);
    }
    EXPECT_EQ(GesturesFor(c.param), expected) << "parameter " << c.param;
    for (const HostCall& call : host.calls) {
      if (call.opcode == audioMasterAutomate) {
        EXPECT_EQ(call.index, c.param);
      }
    }
  }
}

} // namespace
} // namespace quorvane::test
