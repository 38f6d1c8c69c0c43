// The window thread's events: mouse buttons, drags, the wheel, the entry's
// keys, exposure, the parent's end, and the frame tick.

#include "editor_x11/X11EditorWindow.h"

#include "editor/HostWheelStep.h"
#include "editor/IControl.h"
#include "framework/IEffectBase.h"

#include <algorithm>
#include <cstdlib>

namespace quorvane {

namespace {

constexpr std::uint8_t kLeftButton = 1;
constexpr std::uint8_t kRightButton = 3;
constexpr std::uint8_t kWheelUp = 4;
constexpr std::uint8_t kWheelDown = 5;

// The state of an X event is that before the event; Windows reports the
// buttons after it, which is what the surface expects.
MouseMods ModsAfter(std::uint16_t state, std::uint8_t button, bool pressed) {
  MouseMods mods;
  mods.leftButton = (state & XCB_BUTTON_MASK_1) != 0;
  mods.rightButton = (state & XCB_BUTTON_MASK_3) != 0;
  if (button == kLeftButton) mods.leftButton = pressed;
  if (button == kRightButton) mods.rightButton = pressed;
  mods.shift = (state & XCB_MOD_MASK_SHIFT) != 0;
  mods.ctrl = (state & XCB_MOD_MASK_CONTROL) != 0;
  mods.alt = (state & XCB_MOD_MASK_1) != 0;
  return mods;
}

} // namespace

void X11EditorWindow::HandleEvent(const xcb_generic_event_t* event) {
  const std::uint8_t type = event->response_type & 0x7F;
  // Errors of our own requests (a window the host already destroyed, a
  // refused grab) arrive here and are of no further use.
  if (type == 0) return;
  if (popup.window != 0 &&
      (type == XCB_BUTTON_PRESS || type == XCB_BUTTON_RELEASE || type == XCB_MOTION_NOTIFY ||
       type == XCB_KEY_PRESS || type == XCB_EXPOSE)) {
    const auto* any = reinterpret_cast<const xcb_button_press_event_t*>(event);
    const xcb_window_t target = type == XCB_EXPOSE
                                    ? reinterpret_cast<const xcb_expose_event_t*>(event)->window
                                    : any->event;
    if (target == popup.window) {
      HandlePopupEvent(event);
      return;
    }
  }
  switch (type) {
  case XCB_EXPOSE: {
    const auto& expose = *reinterpret_cast<const xcb_expose_event_t*>(event);
    if (expose.window != window) return;
    PaintPixels(Rect{expose.x, expose.y, expose.x + expose.width, expose.y + expose.height});
    if (entryKind == EntryKind::Edit) DrawEntry();
    return;
  }
  case XCB_BUTTON_PRESS:
    HandleButtonPress(*reinterpret_cast<const xcb_button_press_event_t*>(event));
    return;
  case XCB_BUTTON_RELEASE:
    HandleButtonRelease(*reinterpret_cast<const xcb_button_release_event_t*>(event));
    return;
  case XCB_MOTION_NOTIFY:
    HandleMotion(*reinterpret_cast<const xcb_motion_notify_event_t*>(event));
    return;
  case XCB_LEAVE_NOTIFY:
    if (hoverTracked) {
      hoverTracked = false;
      SurfaceLeave();
    }
    return;
  case XCB_KEY_PRESS:
    HandleKey(*reinterpret_cast<const xcb_key_press_event_t*>(event));
    return;
  case XCB_DESTROY_NOTIFY:
    if (reinterpret_cast<const xcb_destroy_notify_event_t*>(event)->window == window) ParentGone();
    return;
  case XCB_MAPPING_NOTIFY:
    keyboard.Load(connection);
    return;
  default:
    return;
  }
}

void X11EditorWindow::HandleButtonPress(const xcb_button_press_event_t& press) {
  if (press.event != window) return;
  const int x = press.event_x, y = press.event_y;
  const MouseMods mods = ModsAfter(press.state, press.detail, true);
  switch (press.detail) {
  case kLeftButton:
    if (entryKind == EntryKind::Edit && InsideEntry(x, y)) {
      entryText.PlaceCaret(EntryOffsetAt(x));
      entryState = EntryState::Touched;
      swallowRelease = true;
      DrawEntry();
      return;
    }
    if (doubleClicks.Press(x, y, press.time)) {
      if (SurfaceDoubleClick(x, y, mods)) GrabPointer(press.time);
      return;
    }
    if (entryKind != EntryKind::Closed) entryState = EntryState::Commit;
    GrabPointer(press.time);
    SurfaceMouseDown(x, y, mods);
    return;
  case kRightButton:
    doubleClicks.Reset();
    if (entryKind != EntryKind::Closed) {
      entryState = EntryState::Cancel;
      swallowRelease = true;
      return;
    }
    GrabPointer(press.time);
    SurfaceMouseDown(x, y, mods);
    return;
  case kWheelUp:
  case kWheelDown:
    SurfaceWheel(x, y, mods, press.detail == kWheelUp ? 1 : -1);
    return;
  default:
    // The middle button and the sideways wheel (6, 7) have no use here, as
    // on Windows.
    return;
  }
}

void X11EditorWindow::HandleButtonRelease(const xcb_button_release_event_t& release) {
  if (release.event != window || (release.detail != kLeftButton && release.detail != kRightButton))
    return;
  if (swallowRelease) {
    swallowRelease = false;
    return;
  }
  const int x = release.event_x, y = release.event_y;
  ReleasePointer(release.time);
  SurfaceMouseUp(x, y, ModsAfter(release.state, release.detail, false));
}

void X11EditorWindow::HandleMotion(const xcb_motion_notify_event_t& motion) {
  if (motion.event != window) return;
  const int x = motion.event_x, y = motion.event_y;
  const MouseMods mods = ModsAfter(motion.state, 0, false);
  if (mods.leftButton || mods.rightButton) {
    if (pointerGrabbed) SurfaceDrag(x, y, mods);
  } else if (SurfaceHover(x, y, mods)) {
    hoverTracked = true;
  }
}

bool X11EditorWindow::HostWheel(float step) {
  // The host's thread, under the plug-in lock, which keeps the window
  // thread away from the surface meanwhile.
  if (!IsWindowOpen() || !HostWheelStepUsable(step)) return false;
  xcb_query_pointer_reply_t* pointer =
      xcb_query_pointer_reply(connection, xcb_query_pointer(connection, window), nullptr);
  if (pointer == nullptr) return false;
  const int x = pointer->win_x, y = pointer->win_y;
  const bool over = pointer->same_screen != 0 && x >= 0 && y >= 0 && x < EditorWidth() &&
                    y < EditorHeight();
  const std::uint16_t state = pointer->mask;
  std::free(pointer);
  if (!over) return false;
  MouseMods mods = ModsAfter(state, 0, false);
  mods.leftButton = mods.rightButton = false;
  SurfaceWheel(x, y, mods, HostWheelNotches(step));
  return true;
}

void X11EditorWindow::GrabPointer(xcb_timestamp_t time) {
  // Drags go on outside the window, as with a captured mouse on Windows.
  xcb_discard_reply(connection,
                    xcb_grab_pointer(connection, 0, window,
                                     XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE |
                                         XCB_EVENT_MASK_POINTER_MOTION,
                                     XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC, XCB_NONE, XCB_NONE,
                                     time)
                        .sequence);
  pointerGrabbed = true;
}

void X11EditorWindow::ReleasePointer(xcb_timestamp_t time) {
  if (!pointerGrabbed) return;
  xcb_ungrab_pointer(connection, time);
  pointerGrabbed = false;
}

void X11EditorWindow::HandleKey(const xcb_key_press_event_t& key) {
  if (entryKind != EntryKind::Edit || entryState == EntryState::Commit ||
      entryState == EntryState::Cancel)
    return;
  const bool shifted = (key.state & (XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_LOCK)) != 0;
  const EntryKeyPress press = EntryKeyForSymbol(keyboard.Symbol(key.detail, shifted));
  switch (press.key) {
  case EntryKey::Enter:
    entryState = EntryState::Commit;
    return;
  case EntryKey::Escape:
    entryState = EntryState::Cancel;
    return;
  case EntryKey::Character:
    entryText.Insert(press.text);
    break;
  case EntryKey::Backspace:
    entryText.Backspace();
    break;
  case EntryKey::Delete:
    entryText.Delete();
    break;
  case EntryKey::Left:
    entryText.Left();
    break;
  case EntryKey::Right:
    entryText.Right();
    break;
  case EntryKey::Home:
    entryText.Home();
    break;
  case EntryKey::End:
    entryText.End();
    break;
  case EntryKey::Ignored:
    return;
  }
  entryState = EntryState::Touched;
  DrawEntry();
}

void X11EditorWindow::FrameTick() {
  if (entryKind != EntryKind::Closed) {
    if (entryState == EntryState::Commit || entryState == EntryState::Cancel)
      FinishEntry();
    else
      entryState = EntryState::Idle;
  }
  Rect dirty{};
  if (CollectDirtyRect(dirty)) {
    PaintRect(dirty);
    if (entryKind == EntryKind::Edit) DrawEntry();
  }
  std::int32_t left = endEditCountdown.load();
  if (left > 0 && endEditCountdown.compare_exchange_strong(left, left - 1) && left == 1 &&
      Plug() != nullptr)
    Plug()->FlushHostGesture();
}

} // namespace quorvane
