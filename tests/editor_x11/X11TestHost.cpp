#include "tests/editor_x11/X11TestHost.h"

#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <dirent.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

namespace quorvane::test {

namespace {

std::atomic<int> errorsSeen{0};

int CountErrors(Display*, XErrorEvent*) {
  ++errorsSeen;
  return 0;
}

int EntriesIn(const char* directory) {
  int n = 0;
  if (DIR* dir = opendir(directory)) {
    while (const dirent* entry = readdir(dir))
      if (entry->d_name[0] != '.') ++n;
    closedir(dir);
  }
  return n;
}

} // namespace

X11TestHost::X11TestHost() {
  // A server started with an authority file now and then refuses a
  // connection under load; a few tries tell that from no server at all.
  for (int attempt = 0; attempt < 5 && display == nullptr; ++attempt) {
    display = XOpenDisplay(nullptr);
    if (display == nullptr) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  if (display == nullptr) return;
  int event = 0, error = 0, major = 0, minor = 0;
  if (!XTestQueryExtension(display, &event, &error, &major, &minor)) {
    XCloseDisplay(display);
    display = nullptr;
    return;
  }
  XSetErrorHandler(&CountErrors);
}

X11TestHost::~X11TestHost() {
  if (display == nullptr) return;
  for (Window parent : parents)
    XDestroyWindow(display, parent);
  XSync(display, False);
  XCloseDisplay(display);
}

Window X11TestHost::MakeParent(int x, int y, int width, int height) {
  XSetWindowAttributes attributes{};
  attributes.background_pixel = 0x203040;
  attributes.override_redirect = True;
  const Window parent = XCreateWindow(display, DefaultRootWindow(display), x, y, unsigned(width),
                                      unsigned(height), 0, CopyFromParent, InputOutput, CopyFromParent,
                                      CWBackPixel | CWOverrideRedirect, &attributes);
  XMapRaised(display, parent);
  XSync(display, False);
  parents.push_back(parent);
  return parent;
}

void X11TestHost::DestroyWindow(Window window) {
  XDestroyWindow(display, window);
  XSync(display, False);
  parents.erase(std::remove(parents.begin(), parents.end(), window), parents.end());
}

std::vector<Window> X11TestHost::Children(Window window) const {
  Window root = 0, parent = 0, *list = nullptr;
  unsigned count = 0;
  std::vector<Window> children;
  if (XQueryTree(display, window, &root, &parent, &list, &count) != 0) {
    children.assign(list, list + count);
    XFree(list);
  }
  return children;
}

void X11TestHost::MoveTo(Window window, int x, int y) {
  int rootX = 0, rootY = 0;
  Window child = 0;
  XTranslateCoordinates(display, window, DefaultRootWindow(display), x, y, &rootX, &rootY, &child);
  XTestFakeMotionEvent(display, -1, rootX, rootY, CurrentTime);
  XSync(display, False);
}

void X11TestHost::Button(int button, bool down) {
  XTestFakeButtonEvent(display, unsigned(button), down ? True : False, CurrentTime);
  XSync(display, False);
}

void X11TestHost::Click(Window window, int x, int y, int button) {
  MoveTo(window, x, y);
  Button(button, true);
  Button(button, false);
}

void X11TestHost::Drag(Window window, int x, int y, int dx, int dy) {
  MoveTo(window, x, y);
  Button(1, true);
  Settle(30);
  constexpr int kSteps = 8;
  for (int i = 1; i <= kSteps; ++i) {
    MoveTo(window, x + dx * i / kSteps, y + dy * i / kSteps);
    Settle(10);
  }
  Button(1, false);
  Settle();
}

void X11TestHost::Key(unsigned long keysym) {
  const KeyCode code = XKeysymToKeycode(display, keysym);
  XTestFakeKeyEvent(display, code, True, CurrentTime);
  XTestFakeKeyEvent(display, code, False, CurrentTime);
  XSync(display, False);
}

void X11TestHost::Type(const std::string& text) {
  for (char c : text)
    Key(static_cast<unsigned char>(c));
}

void X11TestHost::Settle(int ms) {
  XSync(display, False);
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

WindowPixels X11TestHost::Capture(Window window) {
  XSync(display, False);
  XWindowAttributes attributes{};
  WindowPixels shot;
  if (!XGetWindowAttributes(display, window, &attributes)) return shot;
  XImage* image = XGetImage(display, window, 0, 0, unsigned(attributes.width),
                            unsigned(attributes.height), AllPlanes, ZPixmap);
  if (image == nullptr) return shot;
  shot.width = attributes.width;
  shot.height = attributes.height;
  shot.pixels.resize(std::size_t(shot.width) * std::size_t(shot.height));
  for (int y = 0; y < shot.height; ++y)
    for (int x = 0; x < shot.width; ++x)
      shot.pixels[std::size_t(y) * shot.width + x] =
          std::uint32_t(XGetPixel(image, x, y)) & 0xFFFFFF;
  XDestroyImage(image);
  return shot;
}

int X11TestHost::ErrorsSeen() {
  return errorsSeen;
}

Footprint X11TestHost::Measure() const {
  Footprint f;
  f.descriptors = EntriesIn("/proc/self/fd");
  f.threads = EntriesIn("/proc/self/task");
  f.topLevelWindows = int(Children(DefaultRootWindow(display)).size());
  return f;
}

bool RegionDiffers(const WindowPixels& a, const WindowPixels& b, int x0, int y0, int x1, int y1) {
  if (a.width != b.width || a.height != b.height) return true;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x)
      if (a.At(x, y) != b.At(x, y)) return true;
  return false;
}

} // namespace quorvane::test
