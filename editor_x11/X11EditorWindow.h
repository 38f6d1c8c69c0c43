#pragma once
// The X11 binding of the editor surface: a child window inside the window
// whose id the host hands over, served over the editor's own display
// connection by the editor's own thread, which also runs the frame timer.
// Pixels reach the screen with PutImage; mouse buttons, drags (with a
// pointer grab), the wheel and double-clicks become the surface's entry
// points as on Windows. The parameter prompts are a pop-up list of value
// names and an inline text entry drawn with the raster library; the entry
// takes the keyboard focus while it is open and gives it back after. The
// background's menu is the same pop-up list, its pick applied at the next
// frame tick.
//
// Threads: OpenEditorWindow, CloseEditorWindow and the destructor run on the
// host's thread; everything else on the window thread. The window thread
// works on the surface only while holding the plug-in lock, which it takes
// without blocking so that a host closing the editor under that lock is
// never kept waiting; and it holds a process-wide lock meanwhile, since the
// fonts are shared by every editor of the process. X errors stay on the
// editor's connection (xcb has no process-wide error handler), and a parent
// destroyed before the editor is closed leaves a window that is merely gone.

#include "editor/DoubleClickRule.h"
#include "editor/IEditorSurface.h"
#include "editor_x11/EntryText.h"
#include "editor_x11/X11Keyboard.h"
#include "raster/HeapBitmap.h"

#include <xcb/xcb.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace quorvane {

class X11EditorWindow : public IEditorSurface {
public:
  // Where the editor's images come from, by resource id; null when the id
  // has no image.
  using ImageSource = std::function<std::unique_ptr<RasterBitmap>(std::int32_t id)>;

  // The prompts' text, as on Windows: 14 pixels high.
  static constexpr int kPromptFontHeight = 14;
  static constexpr int kListRowHeight = 18;
  // What the window listens to; key presses only while the entry is open.
  static constexpr std::uint32_t kWindowEventMask =
      XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE |
      XCB_EVENT_MASK_POINTER_MOTION | XCB_EVENT_MASK_LEAVE_WINDOW | XCB_EVENT_MASK_STRUCTURE_NOTIFY;

  X11EditorWindow(IEffectBase* plug, std::int32_t width, std::int32_t height,
                  std::int32_t frameRate, ImageSource images);
  // Closes the window, then the surface destroys the controls.
  ~X11EditorWindow() override;

  //==========================================================================
  // Window hooks of the surface

  bool BlitToWindow(const Rect& rect) override;
  // Xft.dpi over 96.
  double SystemScale(void* parent) override;
  // The host's thread, under the plug-in lock.
  void FollowScale() override;
  bool IsWindowOpen() override;
  void OpenControlTextEntry(IControl* control) override;
  void PromptParamInput(IControl* control, IParameter* param) override;
  void OpenTextEntry(IControl* control, const TextStyle& style, const Rect& rect, const char* text,
                     bool secret, bool editable) override;
  void GetHostDirectory(std::string& directory) override;
  void GetPluginDirectory(std::string& directory) override;
  void AskForFile(std::string& fileName, std::int32_t action, const char* directory,
                  const char* extensions) override;
  bool AskForColor(Color& colour, const char* title) override;
  bool OpenWebAddress(const char* url, const char* title, const char* confirm,
                      const char* error) override;
  // Takes the step when the pointer is over the editor window.
  bool HostWheel(float step) override;
  void StartEndEditCountdown(std::int32_t ticks) override;
  void ClearEndEditCountdown() override;
  // parent: the host's X11 window id. Answers the editor's window id (as a
  // pointer) or null.
  void* OpenEditorWindow(void* parent) override;
  void CloseEditorWindow() override;
  void* GetWindowHandle() override;
  void SyncTooltips() override {}
  std::unique_ptr<RasterBitmap> BitmapFromResource(std::int32_t id, const char* name) override;
  // Opens the pop-up list and answers kNone: the pick reaches MenuPicked.
  std::int32_t ChooseFromMenu(const char* const* items, std::int32_t count, int x, int y) override;

private:
  enum class EntryState { Idle, Touched, Cancel, Commit };
  // List: a parameter's value names; Menu: the items of ChooseFromMenu.
  enum class EntryKind { Closed, Edit, List, Menu };

  struct Popup {
    xcb_window_t window = 0;
    std::vector<std::string> names;
    int selected = -1; // the row under the pointer or the current value
    int width = 0, rowHeight = 0;
    HeapBitmap pixels{1, 1, 4};
  };

  // Window thread
  void Serve();
  bool LockSurface();
  void UnlockSurface();
  void HandleEvent(const xcb_generic_event_t* event);
  void HandleButtonPress(const xcb_button_press_event_t& press);
  void HandleButtonRelease(const xcb_button_release_event_t& release);
  void HandleMotion(const xcb_motion_notify_event_t& motion);
  void HandleKey(const xcb_key_press_event_t& key);
  void HandlePopupEvent(const xcb_generic_event_t* event);
  void GrabPointer(xcb_timestamp_t time);
  void ReleasePointer(xcb_timestamp_t time);
  void FrameTick();
  void ParentGone();
  void FlushBlits();
  void PutImage(xcb_window_t target, const RasterBitmap& source, const Rect& rect);

  // Prompts
  void OpenEntryCommon(IControl* control, IParameter* param, const Rect& box, const char* text);
  void OpenPopup(EntryKind kind, IControl* control, IParameter* param, const Rect& box,
                 std::vector<std::string> names, int selected);
  bool PopupOpen() const { return entryKind == EntryKind::List || entryKind == EntryKind::Menu; }
  void DrawEntry();
  void DrawPopup();
  void FinishEntry();
  // repaint: show the controls under an entry again (not while closing).
  void CloseEntry(bool repaint);
  void TakeFocus();
  void ReturnFocus();
  std::size_t EntryOffsetAt(int x);
  int EntryTextStart(GlyphFont* font);
  bool InsideEntry(int x, int y) const;

  // Ends what the host must not wait for, then lets go of the X resources.
  void FinishClose();
  void Teardown();

  ImageSource images;

  // Owned by the host's thread while the window thread does not run.
  xcb_connection_t* connection = nullptr;
  xcb_window_t window = 0;
  xcb_window_t rootWindow = 0;
  xcb_gcontext_t gc = 0;
  std::uint8_t depth = 0;
  std::uint32_t maxRequestBytes = 0;
  int wakeFd = -1;
  std::thread thread;
  std::atomic<bool> stopRequested{false};
  std::atomic<bool> windowGone{false};
  std::atomic<bool> closeFromWindowThread{false};

  // Window thread
  X11Keyboard keyboard;
  DoubleClickRule doubleClicks;
  bool pointerGrabbed = false;
  bool hoverTracked = false;
  Rect pendingBlit{};
  bool blitPending = false;
  // What BlitToWindow copied out of the back bitmap under the locks, for
  // FlushBlits to send without them: the host's thread may give the back
  // bitmap a new scale (and size) meanwhile.
  HeapBitmap shown{1, 1, 4};
  std::vector<std::uint8_t> imageRows; // PutImage's staging
  // Armed by the plug-in base on whichever thread ends a wheel gesture.
  std::atomic<std::int32_t> endEditCountdown{0};
  bool swallowRelease = false; // the press went to the text entry

  EntryKind entryKind = EntryKind::Closed;
  EntryState entryState = EntryState::Idle;
  IControl* entryControl = nullptr;
  IParameter* entryParam = nullptr;
  Rect entryBox{};
  EntryText entryText;
  TextStyle entryStyle;
  xcb_window_t savedFocus = 0;
  bool focusTaken = false;
  Popup popup;
};

} // namespace quorvane
