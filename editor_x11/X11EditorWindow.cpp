// Opening and closing the X11 window, its thread, and the copy of the back
// bitmap to the screen.

#include "editor_x11/X11EditorWindow.h"

#include "editor/IControl.h"
#include "editor_x11/QuietPipe.h"
#include "editor_x11/XftScale.h"
#include "framework/AudioCallScope.h"
#include "framework/IEffectBase.h"
#include "raster/BlitBitmap.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <mutex>

namespace quorvane {

namespace {

// Fonts and their glyph caches are shared by every editor of the process;
// the editors' threads take turns with them.
std::mutex& SharedEditorLock() {
  static std::mutex lock;
  return lock;
}

// The back bitmap's words (0xAARRGGBB, little-endian) go to the server as
// they are only for a 24-bit true-colour screen with 32-bit pixels in that
// byte order; anything else is refused rather than shown in wrong colours.
bool ScreenTakesOurPixels(const xcb_setup_t* setup, const xcb_screen_t* screen) {
  if (setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST) return false;
  bool thirtyTwoBits = false;
  for (auto it = xcb_setup_pixmap_formats_iterator(setup); it.rem > 0; xcb_format_next(&it))
    if (it.data->depth == screen->root_depth)
      thirtyTwoBits = it.data->bits_per_pixel == 32 && it.data->scanline_pad == 32;
  if (!thirtyTwoBits) return false;
  for (auto d = xcb_screen_allowed_depths_iterator(screen); d.rem > 0; xcb_depth_next(&d))
    for (auto v = xcb_depth_visuals_iterator(d.data); v.rem > 0; xcb_visualtype_next(&v))
      if (v.data->visual_id == screen->root_visual)
        return v.data->red_mask == 0xFF0000 && v.data->green_mask == 0xFF00 &&
               v.data->blue_mask == 0xFF;
  return false;
}

xcb_screen_t* ScreenNumber(xcb_connection_t* connection, int number) {
  auto it = xcb_setup_roots_iterator(xcb_get_setup(connection));
  for (; it.rem > 0 && number > 0; --number)
    xcb_screen_next(&it);
  return it.rem > 0 ? it.data : nullptr;
}

bool Succeeded(xcb_connection_t* connection, xcb_void_cookie_t cookie) {
  xcb_generic_error_t* error = xcb_request_check(connection, cookie);
  std::free(error);
  return error == nullptr;
}

} // namespace

X11EditorWindow::X11EditorWindow(IEffectBase* plugIn, std::int32_t w, std::int32_t h,
                                 std::int32_t fps, ImageSource imageSource)
    : IEditorSurface(plugIn, w, h, fps), images(std::move(imageSource)) {
  entryStyle.size = kPromptFontHeight;
  entryStyle.color = Color{255, 0, 0, 0};
  std::copy_n("Arial", 6, entryStyle.fontName);
}

X11EditorWindow::~X11EditorWindow() {
  CloseEditorWindow();
}

std::unique_ptr<RasterBitmap> X11EditorWindow::BitmapFromResource(std::int32_t id, const char*) {
  return images ? images(id) : nullptr;
}

bool X11EditorWindow::IsWindowOpen() {
  return connection != nullptr && !windowGone.load();
}

void* X11EditorWindow::GetWindowHandle() {
  return IsWindowOpen() ? reinterpret_cast<void*>(std::uintptr_t(window)) : nullptr;
}

void X11EditorWindow::StartEndEditCountdown(std::int32_t ticks) {
  endEditCountdown = ticks;
}

void X11EditorWindow::ClearEndEditCountdown() {
  endEditCountdown = 0;
}

//============================================================================
// Opening and closing (host's thread)

void* X11EditorWindow::OpenEditorWindow(void* parent) {
  const QuietPipe quiet;
  const auto parentId = xcb_window_t(reinterpret_cast<std::uintptr_t>(parent));
  // Not from inside one of the window thread's own calls to the host: that
  // thread cannot be replaced while it runs.
  if (parentId == 0 || (thread.joinable() && thread.get_id() == std::this_thread::get_id()))
    return nullptr;
  int x = 0;
  int y = 0;
  if (connection != nullptr || thread.joinable()) {
    // Reopening keeps the window where the host last saw it.
    if (connection != nullptr && !windowGone && !closeFromWindowThread) {
      xcb_get_geometry_reply_t* geometry =
          xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr);
      if (geometry != nullptr) {
        x = geometry->x;
        y = geometry->y;
        std::free(geometry);
      }
    }
    CloseEditorWindow();
  }

  // Without the host's factor or the user's choice, the desktop's Xft.dpi
  // decides.
  AdoptScaleForOpening(parent);
  int screenNumber = 0;
  connection = xcb_connect(nullptr, &screenNumber);
  xcb_screen_t* screen =
      xcb_connection_has_error(connection) ? nullptr : ScreenNumber(connection, screenNumber);
  if (screen == nullptr || !ScreenTakesOurPixels(xcb_get_setup(connection), screen)) {
    Teardown();
    return nullptr;
  }
  rootWindow = screen->root;
  depth = screen->root_depth;
  window = xcb_generate_id(connection);
  // No background: the editor paints every pixel itself, and a server-side
  // clear before each exposure would flicker.
  const std::uint32_t values[] = {XCB_BACK_PIXMAP_NONE, 0, kWindowEventMask,
                                  screen->default_colormap};
  const bool created = Succeeded(
      connection,
      xcb_create_window_checked(
          connection, depth, window, parentId, std::int16_t(x), std::int16_t(y),
          std::uint16_t(EditorWidth()), std::uint16_t(EditorHeight()), 0,
          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
          XCB_CW_BACK_PIXMAP | XCB_CW_BORDER_PIXEL | XCB_CW_EVENT_MASK | XCB_CW_COLORMAP, values));
  if (!created) {
    // The host's window id names no window.
    window = 0;
    Teardown();
    return nullptr;
  }
  gc = xcb_generate_id(connection);
  xcb_create_gc(connection, gc, window, 0, nullptr);
  xcb_map_window(connection, window);
  maxRequestBytes = xcb_get_maximum_request_length(connection) * 4u;
  keyboard.Load(connection);
  xcb_flush(connection);

  wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wakeFd < 0) {
    Teardown();
    return nullptr;
  }
  MarkAllDirty();
  doubleClicks.Reset();
  stopRequested = false;
  closeFromWindowThread = false;
  windowGone = false;
  thread = std::thread(&X11EditorWindow::Serve, this);
  return reinterpret_cast<void*>(std::uintptr_t(window));
}

void X11EditorWindow::CloseEditorWindow() {
  const QuietPipe quiet;
  if (thread.joinable()) {
    stopRequested = true;
    const std::uint64_t one = 1;
    if (write(wakeFd, &one, sizeof(one)) < 0) {
      // The counter is full, so the thread is being woken already.
    }
    // A host that closes the editor from inside one of our own calls to it:
    // the thread stops once that call has returned, and the next open or
    // close (or the end of the plug-in) lets go of the window.
    if (thread.get_id() == std::this_thread::get_id()) {
      closeFromWindowThread = true;
      if (endEditCountdown != 0 && Plug() != nullptr) Plug()->FlushHostGesture();
      return;
    }
    thread.join();
  }
  FinishClose();
}

void X11EditorWindow::FinishClose() {
  if (connection == nullptr) return;
  // No gesture may stay open at the host once the editor is gone.
  if (endEditCountdown != 0 && Plug() != nullptr) Plug()->FlushHostGesture();
  endEditCountdown = 0;
  if (entryKind != EntryKind::Closed) {
    IControl* control = entryControl;
    CloseEntry(false);
    if (control != nullptr) control->FinishUserEdit();
  }
  Teardown();
}

void X11EditorWindow::Teardown() {
  if (connection != nullptr) {
    if (!xcb_connection_has_error(connection)) {
      if (popup.window != 0) xcb_destroy_window(connection, popup.window);
      if (window != 0 && !windowGone) xcb_destroy_window(connection, window);
      if (gc != 0) xcb_free_gc(connection, gc);
      // A round trip: the window is gone from the screen when the host's
      // close returns, not merely asked to go.
      std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    }
    xcb_disconnect(connection);
  }
  connection = nullptr;
  popup.window = 0;
  window = 0;
  gc = 0;
  pointerGrabbed = false;
  focusTaken = false;
  if (wakeFd >= 0) close(wakeFd);
  wakeFd = -1;
}

//============================================================================
// The window thread

bool X11EditorWindow::LockSurface() {
  if (Plug() != nullptr) {
    // Never block on the plug-in lock: the host may hold it while it waits
    // for this thread to end (effEditClose).
    while (!Plug()->GetPluginLock().TryAcquire()) {
      if (stopRequested) return false;
      pollfd wake{wakeFd, POLLIN, 0};
      poll(&wake, 1, 1);
    }
  }
  SharedEditorLock().lock();
  return true;
}

void X11EditorWindow::UnlockSurface() {
  SharedEditorLock().unlock();
  if (Plug() != nullptr) Plug()->GetPluginLock().Release();
}

void X11EditorWindow::Serve() {
  const QuietPipe quiet;
  using Clock = std::chrono::steady_clock;
  const auto period = std::chrono::milliseconds(1000 / std::max(FrameRate(), 1));
  auto nextTick = Clock::now() + period;
  pollfd fds[2] = {{xcb_get_file_descriptor(connection), POLLIN, 0}, {wakeFd, POLLIN, 0}};
  while (!stopRequested) {
    if (!windowGone) {
      if (xcb_generic_event_t* event = xcb_poll_for_event(connection)) {
        if (!LockSurface()) {
          std::free(event);
          break;
        }
        do {
          HandleEvent(event);
          std::free(event);
        } while (!windowGone && (event = xcb_poll_for_event(connection)) != nullptr);
        UnlockSurface();
        FlushBlits();
      }
      if (xcb_connection_has_error(connection)) {
        // The server went away: nothing is left to draw on.
        if (!LockSurface()) break;
        ParentGone();
        UnlockSurface();
      }
    }
    const auto now = Clock::now();
    if (now >= nextTick) {
      // The tick is the user-interface turn as well (work audio calls put
      // off); outside the locks, since it writes to the system.
      RunUserInterfaceTurn();
      if (!windowGone) {
        if (!LockSurface()) break;
        FrameTick();
        UnlockSurface();
        FlushBlits();
      }
      nextTick += period;
      if (nextTick <= now) nextTick = now + period;
    }
    xcb_flush(connection);
    // Once the window is gone only the wake-up for closing is awaited.
    // Rounded up: a wait cut short would wake before the tick and spin on
    // zero timeouts until it comes.
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(nextTick - now);
    if (windowGone)
      poll(&fds[1], 1, -1);
    else
      poll(fds, 2, int(std::max<std::int64_t>(wait.count(), 0)));
    if ((fds[1].revents & POLLIN) != 0) {
      std::uint64_t count = 0;
      if (read(wakeFd, &count, sizeof(count)) < 0) {
        // Nothing to read: woken by the X connection or the timeout.
      }
    }
  }
}

void X11EditorWindow::ParentGone() {
  // The host destroyed its window, and ours with it, before closing the
  // editor: forget the window and end what the host must not wait for.
  windowGone = true;
  pointerGrabbed = false;
  focusTaken = false;
  if (entryKind != EntryKind::Closed) {
    IControl* control = entryControl;
    CloseEntry(false);
    if (control != nullptr) control->FinishUserEdit();
  }
  if (endEditCountdown != 0 && Plug() != nullptr) Plug()->FlushHostGesture();
}

//============================================================================
// To the screen

double X11EditorWindow::SystemScale(void*) {
  return XftScaleFactor();
}

void X11EditorWindow::FollowScale() {
  const QuietPipe quiet;
  if (connection == nullptr || windowGone) return;
  const std::uint32_t size[] = {std::uint32_t(EditorWidth()), std::uint32_t(EditorHeight())};
  xcb_configure_window(connection, window, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT,
                       size);
  xcb_flush(connection);
}

bool X11EditorWindow::BlitToWindow(const Rect& rect) {
  // Painting happens under the locks; the copy to the server waits until
  // they are released (FlushBlits).
  if (rect.left >= rect.right || rect.top >= rect.bottom) return true;
  const RasterBitmap* back = BackBuffer();
  if (back == nullptr) return true;
  if (shown.Width() != back->Width() || shown.Height() != back->Height())
    shown.Resize(back->Width(), back->Height());
  BlitBitmap(&shown, back, rect.left, rect.top, rect.left, rect.top, rect.right - rect.left,
             rect.bottom - rect.top, 1.0f, kBlendCopy);
  if (!blitPending) {
    pendingBlit = rect;
  } else {
    pendingBlit =
        Rect{std::min(pendingBlit.left, rect.left), std::min(pendingBlit.top, rect.top),
             std::max(pendingBlit.right, rect.right), std::max(pendingBlit.bottom, rect.bottom)};
  }
  blitPending = true;
  return true;
}

void X11EditorWindow::FlushBlits() {
  if (!blitPending) return;
  blitPending = false;
  if (windowGone) return;
  PutImage(window, shown, pendingBlit);
  xcb_flush(connection);
}

void X11EditorWindow::PutImage(xcb_window_t target, const RasterBitmap& source, const Rect& rect) {
  const int left = std::max(rect.left, 0);
  const int top = std::max(rect.top, 0);
  const int right = std::min(rect.right, source.Width());
  const int bottom = std::min(rect.bottom, source.Height());
  if (left >= right || top >= bottom || source.Pixels() == nullptr) return;
  const std::size_t rowBytes = std::size_t(right - left) * 4;
  // A request may not exceed the server's limit: send bands of rows.
  constexpr std::size_t kRequestHeader = 64;
  const int bandRows = int(std::max<std::size_t>(
      1, (std::max<std::size_t>(maxRequestBytes, 2 * kRequestHeader) - kRequestHeader) / rowBytes));
  for (int y = top; y < bottom; y += bandRows) {
    const int rows = std::min(bandRows, bottom - y);
    imageRows.resize(rowBytes * std::size_t(rows));
    for (int r = 0; r < rows; ++r) {
      const int sourceRow = source.IsBottomUp() ? source.Height() - 1 - (y + r) : y + r;
      const std::uint32_t* from =
          source.Pixels() + std::ptrdiff_t(sourceRow) * source.RowStride() + left;
      std::copy_n(reinterpret_cast<const std::uint8_t*>(from), rowBytes,
                  imageRows.data() + std::size_t(r) * rowBytes);
    }
    xcb_put_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, target, gc, std::uint16_t(right - left),
                  std::uint16_t(rows), std::int16_t(left), std::int16_t(y), 0,
                  depth, std::uint32_t(imageRows.size()), imageRows.data());
  }
}

} // namespace quorvane
