// The editor window's procedure: mouse, wheel and key translation, painting
// and the frame tick.

#include "editor_win32/IEditorWindow.h"

#include "editor/IControl.h"
#include "editor_win32/InputTranslation.h"
#include "framework/AudioCallScope.h"
#include "framework/IEffectBase.h"

#include <windows.h>

namespace quorvane {

LRESULT CALLBACK EditorWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    auto* editor = static_cast<IEditorWindow*>(create->lpCreateParams);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(editor));
    SetTimer(hwnd, IEditorWindow::kFrameTimerId, static_cast<UINT>(1000 / editor->FrameRate()),
             nullptr);
    if (editor->Plug() != nullptr &&
        editor->Plug()->IdentifyHost() == IEditorWindow::kFocusTakingHost)
      SetFocus(hwnd);
    return 0;
  }
  auto* editor = reinterpret_cast<IEditorWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  // Messages sent while CreateWindowExA has not returned, or after the
  // window was handed back, belong to nobody yet.
  if (editor == nullptr || editor->GetWindowHandle() != hwnd)
    return DefWindowProcA(hwnd, message, wParam, lParam);
  return editor->HandleWindowMessage(message, wParam, lParam);
}

namespace {

MouseMods ModsOf(WPARAM wParam) {
  return ModsFromButtonFlags(wParam, (GetKeyState(VK_MENU) & 0x8000) != 0);
}

} // namespace

std::intptr_t IEditorWindow::HandleWindowMessage(std::uint32_t message, std::uintptr_t wParam,
                                                 std::intptr_t lParam) {
  const int x = LowWordSigned(lParam);
  const int y = HighWordSigned(lParam);
  switch (message) {
  case WM_PAINT: {
    RECT update{};
    if (GetUpdateRect(window, &update, FALSE) && !IsRectEmpty(&update)) {
      PaintPixels(Rect{update.left, update.top, update.right, update.bottom});
      // With no controls PaintRect paints nothing and never validates; the
      // region would otherwise bring WM_PAINT back without end.
      if (window != nullptr) ValidateRect(window, &update);
    }
    return 0;
  }
  case WM_CLOSE:
    CloseEditorWindow();
    return 0;
  case WM_NCDESTROY: {
    // Only a destruction from outside arrives here (CloseEditorWindow lets go
    // of the handle first): the host destroyed its window without closing
    // the editor. A handle kept now would be destroyed or measured later
    // when it may name another window.
    HWND self = window;
    ReleaseWindow(false);
    return DefWindowProcA(self, message, wParam, lParam);
  }
  case WM_MOUSEACTIVATE:
    if (WantsFocusForHost()) SetFocus(window);
    return MA_ACTIVATE;
  case WM_KEYDOWN: {
    const int key = KeyCodeForVirtualKey(static_cast<std::uint32_t>(wParam));
    if (key == kUntranslatedKey) return 0;
    POINT cursor{};
    GetCursorPos(&cursor);
    ScreenToClient(window, &cursor);
    SurfaceKey(cursor.x, cursor.y, key);
    return 0;
  }
  case WM_TIMER:
    if (wParam == kFrameTimerId) FrameTick();
    return 0;
  case WM_MOUSEMOVE:
    if ((wParam & (MK_LBUTTON | MK_RBUTTON)) != 0) {
      if (GetCapture() == window) SurfaceDrag(x, y, ModsOf(wParam));
    } else if (SurfaceHover(x, y, ModsOf(wParam))) {
      TrackHover();
    }
    return 0;
  case WM_RBUTTONDOWN:
    if (entryWindow != nullptr) {
      entryState = TextEntryState::Cancel;
      return 0;
    }
    [[fallthrough]];
  case WM_LBUTTONDOWN:
    HideTooltip();
    if (entryWindow != nullptr) entryState = TextEntryState::Commit;
    SetCapture(window);
    SurfaceMouseDown(x, y, ModsOf(wParam));
    return 0;
  case WM_LBUTTONUP:
  case WM_RBUTTONUP:
    ReleaseCapture();
    SurfaceMouseUp(x, y, ModsOf(wParam));
    return 0;
  case WM_LBUTTONDBLCLK:
    if (SurfaceDoubleClick(x, y, ModsOf(wParam))) SetCapture(window);
    return 0;
  case WM_MOUSEWHEEL: {
    // The wheel message carries screen coordinates.
    RECT own{};
    GetWindowRect(window, &own);
    const int delta = static_cast<std::int16_t>(HIWORD(wParam));
    SurfaceWheel(x - own.left, y - own.top, ModsOf(LOWORD(wParam)), WheelNotches(delta));
    return 0;
  }
  case WM_COMMAND:
    // A pick in the value list: the list box tells the combo box, which
    // tells this window; either message commits.
    if (entryWindow != nullptr && LOWORD(wParam) == kEntryControlId &&
        HIWORD(wParam) == CBN_SELCHANGE)
      entryState = TextEntryState::Commit;
    return 0;
  case WM_MOUSEHOVER:
    ShowTooltip();
    return 0;
  case WM_MOUSELEAVE:
    HideTooltip();
    SurfaceLeave();
    return 0;
  default:
    return DefWindowProcA(window, message, wParam, lParam);
  }
}

void IEditorWindow::FrameTick() {
  // The tick is the user-interface thread's turn as well (work put off by audio calls).
  RunUserInterfaceTurn();
  if (entryWindow != nullptr) {
    if (entryState == TextEntryState::Commit || entryState == TextEntryState::Cancel)
      FinishTextEntry();
    else
      entryState = TextEntryState::Idle;
  }
  // A committed value reaches the host, which may close the editor at once.
  if (window == nullptr) return;

  Rect dirty{};
  if (CollectDirtyRect(dirty)) {
    const Rect pixels = ToPixels(dirty);
    RECT area{pixels.left, pixels.top, pixels.right, pixels.bottom};
    InvalidateRect(window, &area, FALSE);
    if (entryWindow != nullptr) {
      // The entry draws itself; painting under it would flicker through.
      RECT entryArea{};
      GetClientRect(entryWindow, &entryArea);
      MapWindowPoints(entryWindow, window, reinterpret_cast<POINT*>(&entryArea), 2);
      ValidateRect(window, &entryArea);
    }
    UpdateWindow(window);
  }

  if (endEditCountdown > 0 && --endEditCountdown == 0 && Plug() != nullptr)
    Plug()->FlushHostGesture();
}

} // namespace quorvane
