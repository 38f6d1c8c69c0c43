#include "editor_win32/EditorHostFrame.h"

#include "framework/vst2/Vst2Interface.h"
#include "raster/PngFileWriter.h"

namespace quorvane {

namespace {

constexpr char kFrameClass[] = "QuorvaneHostFrame";

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

// Registered once and kept for the life of the process: several frames may
// exist at once, and the class costs nothing.
bool EnsureFrameClass(HINSTANCE instance) {
  WNDCLASSA existing{};
  if (GetClassInfoA(instance, kFrameClass, &existing)) return true;
  WNDCLASSA wc{};
  wc.lpfnWndProc = FrameProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  wc.lpszClassName = kFrameClass;
  return RegisterClassA(&wc) != 0;
}

} // namespace

EditorHostFrame::~EditorHostFrame() {
  Close();
}

bool EditorHostFrame::Open(AEffect* effect, int x, int y) {
  Close();
  if (effect == nullptr || effect->dispatcher == nullptr) return false;
  ERect* rect = nullptr;
  if (effect->dispatcher(effect, effEditGetRect, 0, 0, &rect, 0.0f) == 0 || rect == nullptr)
    return false;
  width = rect->right - rect->left;
  height = rect->bottom - rect->top;
  if (width <= 0 || height <= 0) return false;

  HINSTANCE instance = GetModuleHandleA(nullptr);
  if (!EnsureFrameClass(instance)) return false;
  // A popup has no caption or border, so its client area is the editor's.
  frame = CreateWindowExA(0, kFrameClass, "Quorvane editor", WS_POPUP | WS_VISIBLE, x, y, width,
                          height, nullptr, nullptr, instance, nullptr);
  if (frame == nullptr) return false;
  if (effect->dispatcher(effect, effEditOpen, 0, 0, frame, 0.0f) == 0) {
    DestroyWindow(frame);
    frame = nullptr;
    return false;
  }
  plugin = effect;
  return true;
}

void EditorHostFrame::Close() {
  if (plugin != nullptr) plugin->dispatcher(plugin, effEditClose, 0, 0, nullptr, 0.0f);
  plugin = nullptr;
  if (frame != nullptr) DestroyWindow(frame);
  frame = nullptr;
}

HWND EditorHostFrame::Editor() const {
  return frame != nullptr ? GetWindow(frame, GW_CHILD) : nullptr;
}

void EditorHostFrame::Pump(int ms) {
  const DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (static_cast<int>(GetTickCount() - start) >= ms) break;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
}

bool EditorHostFrame::Capture(WindowPixels& out) const {
  HWND editor = Editor();
  if (editor == nullptr) return false;
  RECT client{};
  GetClientRect(editor, &client);
  const int w = client.right - client.left;
  const int h = client.bottom - client.top;
  if (w <= 0 || h <= 0) return false;

  BITMAPINFO bmi{};
  bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
  bmi.bmiHeader.biWidth = w;
  bmi.bmiHeader.biHeight = -h; // rows top down
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  bmi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC screen = GetDC(editor);
  if (screen == nullptr) return false;
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP dib = CreateDIBSection(screen, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool copied = false;
  if (memory != nullptr && dib != nullptr && bits != nullptr) {
    HGDIOBJ old = SelectObject(memory, dib);
    copied = BitBlt(memory, 0, 0, w, h, screen, 0, 0, SRCCOPY) != 0;
    GdiFlush();
    SelectObject(memory, old);
    if (copied) {
      const auto* words = static_cast<const std::uint32_t*>(bits);
      out.width = w;
      out.height = h;
      out.pixels.assign(words, words + static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
      for (std::uint32_t& p : out.pixels)
        p |= 0xFF000000u;
    }
  }
  if (dib != nullptr) DeleteObject(dib);
  if (memory != nullptr) DeleteDC(memory);
  ReleaseDC(editor, screen);
  return copied;
}

bool SaveEditorScreenshot(AEffect* effect, const char* pngPath, int waitMs) {
  EditorHostFrame host;
  if (!host.Open(effect)) return false;
  EditorHostFrame::Pump(waitMs);
  WindowPixels shot;
  const bool captured = host.Capture(shot);
  host.Close();
  return captured && WritePngFile(pngPath, shot.pixels.data(), shot.width, shot.height, shot.width);
}

} // namespace quorvane
