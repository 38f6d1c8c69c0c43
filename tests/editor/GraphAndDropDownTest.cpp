// The envelope strip and the drop-down selector with its list.

#include "tests/editor/EditorFixture.h"
#include "tests/editor/TestImages.h"

#include "editor/GRAPH.h"
#include "editor/IDropDown.h"
#include "editor/IDropDownChild.h"

#include <functional>
#include <limits>

namespace quorvane::test {
namespace {

class Graph : public EditorFixture {
protected:
  Graph() : EditorFixture(507, 248) {}

  void SetUp() override {
    AddBackground(kBlack);
    graph = Add(std::make_unique<GRAPH>(&effect, 209, 213, 477, 215));
    graph->Follow(&readout);
    Attach();
  }

  // Columns of row 213 that differ from the background.
  std::vector<int> MarkedColumns() const {
    std::vector<int> columns;
    for (int x = 0; x < 507; ++x)
      if (surface->Pixel(x, 213) != kBlack) columns.push_back(x);
    return columns;
  }

  static std::vector<int> Run(int from, int to) {
    std::vector<int> columns;
    for (int x = from; x < to; ++x)
      columns.push_back(x);
    return columns;
  }

  GraphReadout readout;
  GRAPH* graph = nullptr;
};

TEST_F(Graph, ShowsNothingWhileDisabled) {
  EXPECT_EQ(graph->ParamIndex(), -1);
  readout.PublishRange(0.0f, 1.0f);
  readout.PublishValue(0.5f);
  surface->Frame();
  EXPECT_TRUE(MarkedColumns().empty());
}

// An idle editor paints nothing: a tick repaints the strip only when the
// marker would show differently.
TEST_F(Graph, ATickRepaintsOnlyWhenTheMarkerChanges) {
  surface->Frame();
  const auto enable = [this](bool on) { return [this, on] { readout.PublishEnabled(on); }; };
  const auto value = [this](float v) { return [this, v] { readout.PublishValue(v); }; };
  const auto range = [this](float low, float high) {
    return [this, low, high] { readout.PublishRange(low, high); };
  };
  const struct {
    const char* what;
    std::function<void()> change;
    bool repaints;
  } steps[] = {
      {"nothing, disabled", [] {}, false},
      {"value while disabled", value(0.5f), false},
      {"enabled, the range still empty: a red marker", enable(true), true},
      {"nothing, red marker", [] {}, false},
      {"range", range(0.0f, 1.0f), true},
      {"nothing, marker shown", [] {}, false},
      {"value within the marker's pixel", value(0.501f), false},
      {"value a pixel on", value(0.51f), true},
      {"range moving the marker", range(0.0f, 2.0f), true},
      {"empty range", range(1.0f, 1.0f), true},
      {"value under a red marker", value(0.2f), false},
      {"disabled", enable(false), true},
      {"value while disabled again", value(0.9f), false},
  };
  for (const auto& step : steps) {
    step.change();
    EXPECT_EQ(surface->Frame(), step.repaints) << step.what;
  }
}

TEST_F(Graph, APaintOfPartOfTheStripIsCompletedByTheNextTick) {
  readout.PublishEnabled(true);
  readout.PublishRange(0.0f, 1.0f);
  readout.PublishValue(0.5f);
  surface->Frame();
  readout.PublishValue(0.0f);
  surface->PaintRect(Rect{300, 200, 400, 248}); // the marker's old place only
  EXPECT_TRUE(surface->Frame());
  EXPECT_EQ(MarkedColumns(), Run(209, 215));
  EXPECT_FALSE(surface->Frame());
}

TEST_F(Graph, TheMarkerSpansSixPixelsAtThePositionOfTheValue) {
  readout.PublishEnabled(true);
  readout.PublishRange(0.0f, 1.0f);
  readout.PublishValue(0.5f);
  surface->Frame();
  EXPECT_EQ(MarkedColumns(), Run(340, 346));
  const std::uint32_t marker = surface->Pixel(340, 214);
  EXPECT_EQ(marker & 0xFFFFFFu, 0x969696u) << "translucent white over black";
  EXPECT_EQ(surface->Pixel(340, 215), kBlack);

  readout.PublishValue(0.0f);
  surface->Frame();
  EXPECT_EQ(MarkedColumns(), Run(209, 215));
  readout.PublishRange(100.0f, 20000.0f);
  readout.PublishValue(20000.0f);
  surface->Frame();
  EXPECT_EQ(MarkedColumns(), Run(471, 477));
}

TEST_F(Graph, ValuesOutsideTheRangeMoveTheMarkerOutOfTheStrip) {
  readout.PublishEnabled(true);
  readout.PublishRange(0.0f, 1.0f);
  readout.PublishValue(1.05f); // p = 275
  surface->Frame();
  EXPECT_EQ(MarkedColumns(), Run(484, 490));
  for (float wild : {1e30f, -1e30f, std::numeric_limits<float>::infinity(),
                     std::numeric_limits<float>::quiet_NaN()}) {
    readout.PublishValue(wild);
    EXPECT_TRUE(surface->PaintRect(Rect{0, 0, 507, 248}));
  }
}

TEST_F(Graph, AnEmptyOrUndefinedRangeGivesARedMarkerAtTheLeftEnd) {
  readout.PublishEnabled(true);
  for (auto [low, high] : {std::pair{0.5f, 0.5f},
                           {std::numeric_limits<float>::quiet_NaN(), 1.0f},
                           {0.0f, std::numeric_limits<float>::quiet_NaN()}}) {
    readout.PublishRange(low, high);
    readout.PublishValue(0.7f);
    surface->Frame();
    EXPECT_EQ(MarkedColumns(), Run(209, 215));
    const std::uint32_t marker = surface->Pixel(212, 213);
    EXPECT_GT(marker >> 16 & 0xFF, 200u);
    EXPECT_EQ(marker >> 8 & 0xFF, 0u);
    EXPECT_EQ(marker & 0xFF, 0u);
  }
}

class DropDown : public EditorFixture {
protected:
  // Target has four choices. The button strip: four 20 x 5 frames; the list:
  // four 20 x 10 rows. Drop-down at (50, 20): 50, 20, 70, 31; its list at
  // (50, 30): 50, 30, 70, 70, sharing row 30.
  void SetUp() override {
    AddBackground(kBlack);
    const BitmapRef button = surface->Load(Strip(20, 5, true, {kRed, kGreen, kBlue, kWhite}), 4);
    const BitmapRef list = surface->Load(Strip(20, 10, true, {kGrey, kGrey, kGrey, kGrey}), 4);
    other =
        Add(std::make_unique<IDropDown>(&effect, EditorTestEffect::kMode, 120, 20, button, list));
    drop =
        Add(std::make_unique<IDropDown>(&effect, EditorTestEffect::kTarget, 50, 20, button, list));
    Attach();
    surface->Frame();
  }

  void Click(int x, int y, const MouseMods& mods) {
    surface->SurfaceMouseDown(x, y, mods);
    surface->SurfaceMouseUp(x, y, mods);
  }

  bool ListVisible() const { return drop->Child() && !drop->Child()->IsHidden(); }

  IDropDown* drop = nullptr;
  IDropDown* other = nullptr;
};

TEST_F(DropDown, ShowsTheRowOfItsValue) {
  EXPECT_TRUE(SameRect(drop->DrawRect(), Rect{50, 20, 70, 31}));
  const std::pair<double, std::uint32_t> rows[] = {
      {0.0, kRed}, {1.0 / 3.0, kGreen}, {2.0 / 3.0, kBlue}, {1.0, kWhite}};
  for (const auto& [normalised, colour] : rows) {
    effect.SetParameterFromHost(EditorTestEffect::kTarget, normalised);
    surface->Frame();
    EXPECT_EQ(surface->Pixel(55, 22), colour) << normalised;
    EXPECT_EQ(surface->Pixel(55, 26), kBlack) << "one row only";
  }
  EXPECT_TRUE(effect.calls.empty()) << "before the first opening host values are only shown";
}

TEST_F(DropDown, APickInTheListReachesThePlugInAtTheNextPaint) {
  Click(55, 22, left);
  ASSERT_NE(drop->Child(), nullptr);
  EXPECT_TRUE(drop->ChildCreated());
  EXPECT_TRUE(drop->ListShown());
  EXPECT_EQ(surface->ControlCount(), 4);
  EXPECT_EQ(surface->Control(3), drop->Child()) << "the list is the topmost control";
  EXPECT_TRUE(SameRect(drop->Child()->DrawRect(), Rect{50, 30, 70, 70}));
  surface->Frame();
  EXPECT_EQ(surface->Pixel(55, 50), kGrey);

  effect.calls.clear();
  Click(55, 55, left); // third row
  EXPECT_DOUBLE_EQ(drop->Value(), 2.0 / 3.0);
  EXPECT_FALSE(ListVisible());
  EXPECT_EQ(effect.ValueOf(EditorTestEffect::kTarget), 0.0) << "not before the next paint";
  EXPECT_TRUE(effect.calls.empty());

  surface->Frame();
  EXPECT_EQ(effect.ValueOf(EditorTestEffect::kTarget), 2.0);
  EXPECT_EQ(effect.calls, (std::vector<HostCall>{{"automate", 2, 2.0 / 3.0}}));
  EXPECT_FALSE(drop->ListShown());
  EXPECT_EQ(surface->Pixel(55, 50), kBlack) << "the background shows where the list was";
  surface->Frame(); // the whole button, in the frame that follows the push
  EXPECT_EQ(surface->Pixel(55, 22), kBlue);
  while (surface->Frame()) {
  }
  EXPECT_EQ(effect.calls.size(), 1u) << "pushed once";

  Click(55, 22, left); // closed -> open again
  EXPECT_TRUE(ListVisible());
  EXPECT_EQ(surface->ControlCount(), 4) << "the list is made once";
  Click(55, 22, left); // open -> closed
  EXPECT_FALSE(ListVisible());
  EXPECT_FALSE(drop->ListShown());
}

TEST_F(DropDown, PickingTheSameValueLeavesTheListCountedAsShown) {
  Click(55, 22, left);
  Click(55, 35, left); // first row: the value it already has
  EXPECT_FALSE(ListVisible());
  surface->Frame();
  EXPECT_TRUE(drop->ListShown());
  Click(55, 22, left); // only completes the closing
  EXPECT_FALSE(ListVisible());
  EXPECT_FALSE(drop->ListShown());
  Click(55, 22, left);
  EXPECT_TRUE(ListVisible());
}

TEST_F(DropDown, ARightClickPromptsAndClosesTheList) {
  Click(55, 22, right);
  ASSERT_EQ(surface->prompts.size(), 1u);
  EXPECT_EQ(surface->prompts[0].control, drop);
  EXPECT_FALSE(drop->ChildCreated());
  Click(55, 22, left);
  EXPECT_TRUE(ListVisible());
  Click(55, 22, right);
  EXPECT_FALSE(ListVisible());
  EXPECT_FALSE(drop->ListShown());
  EXPECT_EQ(surface->prompts.size(), 2u);

  Click(55, 22, left);
  Click(55, 45, right); // a right click in the list picks nothing
  EXPECT_TRUE(ListVisible());
  EXPECT_EQ(drop->Value(), 0.0);
}

TEST_F(DropDown, ClickingAnotherControlLeavesTheListOpen) {
  Click(55, 22, left);
  Click(125, 22, left);
  EXPECT_TRUE(ListVisible());
  EXPECT_TRUE(other->ListShown());
}

TEST_F(DropDown, AHostChangeOnceTheListExistsIsPushedBackAndClosesIt) {
  Click(55, 22, left);
  surface->Frame();
  effect.calls.clear();
  effect.SetParameterFromHost(EditorTestEffect::kTarget, 1.0);
  EXPECT_TRUE(ListVisible());
  surface->Frame();
  EXPECT_FALSE(ListVisible());
  EXPECT_FALSE(drop->ListShown());
  EXPECT_EQ(effect.calls, (std::vector<HostCall>{{"automate", 2, 1.0}}));
  EXPECT_EQ(surface->Pixel(55, 22), kWhite) << "the host's value was dirty itself";
}

TEST_F(DropDown, ClicksBelowTheLastRowOrOnAOneRowListAreSafe) {
  const BitmapRef single = surface->Load(Solid(20, 10, kGrey), 1);
  RelaxedAtomic<double> target{0.4};
  IDropDownChild oneRow(&effect, &target, 0, 0, single);
  oneRow.HandleMouseDown(5, 5, left);
  EXPECT_EQ(static_cast<double>(target), 0.0);
  EXPECT_TRUE(oneRow.IsHidden());

  target = 0.4;
  IDropDownChild orphan(&effect, nullptr, 0, 0, single);
  orphan.HandleMouseDown(5, 5, left);
  EXPECT_TRUE(orphan.IsHidden());

  const BitmapRef rows = surface->Load(Strip(20, 10, true, {kGrey, kGrey, kGrey}), 3);
  IDropDownChild list(&effect, &target, 0, 100, rows);
  list.HandleMouseDown(5, 130, left); // one past the last row
  EXPECT_EQ(static_cast<double>(target), 0.4);
  EXPECT_FALSE(list.IsHidden());
  list.HandleMouseDown(5, 129, left);
  EXPECT_EQ(static_cast<double>(target), 1.0);
}

TEST(DropDownAlone, WithoutAnEditorTheListCannotOpen) {
  EditorTestEffect effect;
  IDropDown drop(&effect, EditorTestEffect::kTarget, 0, 0, BitmapRef{}, BitmapRef{});
  drop.HandleMouseDown(1, 1, MouseMods{true, false, false, false, false});
  EXPECT_FALSE(drop.ChildCreated());
  EXPECT_FALSE(drop.ListShown());
  drop.HandleMouseDown(1, 1, MouseMods{true, false, false, false, false});
  EXPECT_FALSE(drop.ListShown());
}

} // namespace
} // namespace quorvane::test
