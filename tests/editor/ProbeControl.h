#pragma once
// A control for the tests of the control base and the surface: it records
// every event it receives and paints its rectangle (clipped to the area being
// painted) in one colour, counting its paints.

#include "editor/IControl.h"
#include "editor/IEditorSurface.h"
#include "editor/RectMath.h"

#include <string>
#include <vector>

namespace quorvane::test {

class ProbeControl : public IControl {
public:
  ProbeControl(IEffectBase* plugIn, const Rect& rect, std::int32_t index,
               std::uint32_t fill = 0xFF00FF00u)
      : IControl(plugIn, rect, index), colour(fill) {}

  void HandleMouseDown(int x, int y, const MouseMods& mods) override {
    Note("down", x, y);
    IControl::HandleMouseDown(x, y, mods);
  }
  void HandleMouseUp(int x, int y, const MouseMods&) override { Note("up", x, y); }
  void HandleDrag(int x, int y, int dX, int dY, const MouseMods&) override {
    Note("drag", dX, dY);
    (void)x;
    (void)y;
  }
  void HandleDoubleClick(int x, int y, const MouseMods& mods) override {
    Note("double", x, y);
    IControl::HandleDoubleClick(x, y, mods);
  }
  void HandleKey(int, int, int key) override { Note("key", key, 0); }
  void HandleHover(int x, int y, const MouseMods&) override { Note("hover", x, y); }
  void HandleLeave() override { events.push_back("leave"); }

  bool Paint(IEditorSurface& surface) override {
    ++paints;
    const Rect area = IntersectRect(drawRect, surface.RedrawRect());
    const Color c{
        static_cast<std::int32_t>(colour >> 24), static_cast<std::int32_t>(colour >> 16 & 0xFF),
        static_cast<std::int32_t>(colour >> 8 & 0xFF), static_cast<std::int32_t>(colour & 0xFF)};
    if (!IsZeroRect(area)) surface.PaintFilledRect(c, area, nullptr);
    return true;
  }

  // Direct access for the value-rule tests.
  void Set(double v) { value = v; }
  void SetClamp(double low, double high) {
    clampLow = low;
    clampHigh = high;
  }

  std::vector<std::string> events;
  int paints = 0;

private:
  void Note(const char* what, int a, int b) {
    events.push_back(std::string(what) + " " + std::to_string(a) + " " + std::to_string(b));
  }

  std::uint32_t colour;
};

} // namespace quorvane::test
