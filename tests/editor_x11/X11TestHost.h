#pragma once
// The host's side of an X11 editor test: the host's own Xlib connection
// with its own error handler (which must never see an error), a top-level
// parent window to open the editor in, real input synthesised with XTest,
// pixels read back with XGetImage, and counts of the process's descriptors
// and threads and of the windows on the screen. Test thread only.

#include <X11/Xlib.h>

#include <cstdint>
#include <string>
#include <vector>

namespace quorvane::test {

struct WindowPixels {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels; // 0xRRGGBB
  std::uint32_t At(int x, int y) const { return pixels[std::size_t(y) * width + x]; }
};

// Descriptors, threads and windows: what an editor must give back on close.
struct Footprint {
  int descriptors = 0;
  int threads = 0;
  int topLevelWindows = 0;
  bool operator==(const Footprint& o) const {
    return descriptors == o.descriptors && threads == o.threads &&
           topLevelWindows == o.topLevelWindows;
  }
};

class X11TestHost {
public:
  static constexpr int kParentWidth = 640;
  static constexpr int kParentHeight = 320;

  X11TestHost();
  ~X11TestHost();
  X11TestHost(const X11TestHost&) = delete;
  X11TestHost& operator=(const X11TestHost&) = delete;

  // False when there is no X server (DISPLAY unset or unreachable).
  bool Ready() const { return display != nullptr; }
  Display* Connection() const { return display; }
  // A fresh top-level window, mapped at (x, y) of the screen.
  Window MakeParent(int x = 0, int y = 0, int width = kParentWidth, int height = kParentHeight);
  void DestroyWindow(Window window);
  // The children of a window, in stacking order.
  std::vector<Window> Children(Window window) const;

  // Input, in coordinates of `window`.
  void MoveTo(Window window, int x, int y);
  void Button(int button, bool down);
  void Click(Window window, int x, int y, int button = 1);
  void Drag(Window window, int x, int y, int dx, int dy);
  void Key(unsigned long keysym);
  void Type(const std::string& text);

  // Lets the editor's thread see the events and paint a few frames.
  void Settle(int ms = 160);
  WindowPixels Capture(Window window);

  // Errors that reached the host's handler since the host was made.
  static int ErrorsSeen();
  Footprint Measure() const;

private:
  Display* display = nullptr;
  std::vector<Window> parents;
};

// True when any pixel inside [x0, x1) x [y0, y1) differs.
bool RegionDiffers(const WindowPixels& a, const WindowPixels& b, int x0, int y0, int x1, int y1);

} // namespace quorvane::test
