// The editor tests open real windows and read their pixels back. Under Wine
// that needs an X server with a true-colour visual; without one, window
// creation fails and every editor test would fail for a reason that has
// nothing to do with the editor.

#include <gtest/gtest.h>

#include <windows.h>

namespace quorvane {

namespace {

TEST(WindowSystem, WindowDrawsAndReadsBackTrueColour) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  HWND window = CreateWindowExA(0, "STATIC", "platform", WS_POPUP | WS_VISIBLE, 0, 0, 64, 32,
                                nullptr, nullptr, instance, nullptr);
  ASSERT_NE(window, nullptr) << "no window: is an X server running (DISPLAY, xvfb-run -a)?";

  HDC screen = GetDC(window);
  ASSERT_NE(screen, nullptr);
  EXPECT_GE(GetDeviceCaps(screen, BITSPIXEL), 24);

  // Draw into a memory bitmap, as the editor does, and read it back.
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 8, 8);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  const COLORREF colour = RGB(12, 200, 77);
  SetPixel(memory, 3, 4, colour);
  EXPECT_EQ(GetPixel(memory, 3, 4), colour);
  EXPECT_TRUE(BitBlt(screen, 0, 0, 8, 8, memory, 0, 0, SRCCOPY));

  SelectObject(memory, previous);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(window, screen);
  EXPECT_TRUE(DestroyWindow(window));
}

} // namespace

} // namespace quorvane
