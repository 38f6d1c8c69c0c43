#pragma once
// A plug-in with an editor surface under construction: controls are added to
// `surface`, then Attach() hands the surface to the plug-in, which pushes every
// parameter value into the controls and prepares the back bitmap.

#include "tests/editor/EditorTestEffect.h"
#include "tests/editor/TestImages.h"
#include "tests/editor/TestSurface.h"

#include <gtest/gtest.h>

#include <memory>
#include <utility>

namespace quorvane::test {

class EditorFixture : public ::testing::Test {
protected:
  explicit EditorFixture(std::int32_t width = TestSurface::kWidth,
                         std::int32_t height = TestSurface::kHeight)
      : owned(std::make_unique<TestSurface>(&effect, width, height)), surface(owned.get()) {}

  // Adds the control and answers it, still typed.
  template <typename T> T* Add(std::unique_ptr<T> control) {
    T* raw = control.get();
    surface->AddControl(std::move(control));
    return raw;
  }

  // A background of one colour over the whole editor, so that every repaint
  // starts from it.
  void AddBackground(std::uint32_t colour) {
    const std::int32_t w = surface->EditorWidth();
    const std::int32_t h = surface->EditorHeight();
    surface->AddBackground(surface->Register([=] { return Solid(w, h, colour); }), "background");
  }

  void Attach() {
    effect.AttachEditor(std::move(owned));
    effect.calls.clear();
  }

  // The window's paint of everything, as when it opens.
  void PaintAll() {
    surface->MarkAllDirty();
    surface->Frame();
  }

  EditorTestEffect effect;
  std::unique_ptr<TestSurface> owned;
  TestSurface* surface;
  MouseMods left{true, false, false, false, false};
  MouseMods right{false, true, false, false, false};
  MouseMods leftShift{true, false, true, false, false};
  MouseMods leftCtrl{true, false, false, true, false};
  MouseMods none{};
};

} // namespace quorvane::test
