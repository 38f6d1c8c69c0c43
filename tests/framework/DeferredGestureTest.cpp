#include "framework/DeferredGesture.h"

#include <gtest/gtest.h>

namespace quorvane {

namespace {

struct CountdownEditor : IEditorConnection {
  int32_t frameRate = kDefaultFrameRate;
  int32_t ticks = 0;
  void PushParamToControls(int32_t, double, bool) override {}
  void PrepareBackBuffer() override {}
  int32_t FrameRate() const override { return frameRate; }
  void StartEndEditCountdown(int32_t t) override { ticks = t; }
  void ClearEndEditCountdown() override { ticks = 0; }
};

} // namespace

TEST(DeferredGesture, HalfASecondOfTicksAtLeastOne) {
  for (const auto& [rate, ticks] : {std::pair{24, 12}, {60, 30}, {3, 1}, {1, 1}, {0, 1}}) {
    CountdownEditor editor;
    editor.frameRate = rate;
    DeferredGesture gesture;
    gesture.Defer(4, editor);
    EXPECT_EQ(editor.ticks, ticks) << rate;
  }
}

TEST(DeferredGesture, TakeClosesTheGestureOnce) {
  CountdownEditor editor;
  DeferredGesture gesture;
  EXPECT_EQ(gesture.Take(), DeferredGesture::kNone);
  gesture.Defer(2, editor);
  gesture.Defer(5, editor); // a later gesture replaces the earlier one
  EXPECT_EQ(gesture.Pending(), 5);
  EXPECT_EQ(gesture.Take(), 5);
  EXPECT_EQ(gesture.Pending(), DeferredGesture::kNone);
  EXPECT_EQ(gesture.Take(), DeferredGesture::kNone);
}

} // namespace quorvane
