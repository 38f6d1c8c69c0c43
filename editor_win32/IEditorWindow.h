#pragma once
// The Win32 binding of the editor surface: a child window inside the window
// the host hands over, a frame timer that collects the dirty controls and
// paints them, the copy of the back bitmap to the screen, the translation of
// mouse and key messages into the surface's entry points, resizing of the
// host's windows, and the native pop-ups the controls may ask for (inline
// text entries, file and colour dialogs, the browser).
//
// One instance exists per plug-in instance; the plug-in base owns it. All of
// it runs on the thread that owns the window (the host's user-interface
// thread); the frame timer's messages arrive through the same message loop.
// The window class is registered while at least one editor window of the
// process is open, shared by every instance.

#include "editor/IEditorSurface.h"
#include "framework/HostKind.h"

#include <cstdint>
#include <string>

struct HWND__;
struct HINSTANCE__;
struct HFONT__;

namespace quorvane {

class IEditorWindow : public IEditorSurface {
public:
  static constexpr const char* kWindowClassName = "QuorvaneWndClass";
  static constexpr const char* kWindowTitle = "Quorvane";
  static constexpr std::uintptr_t kFrameTimerId = 2;
  static constexpr int kEntryControlId = 99;
  // The host that only delivers keys to a window that takes the focus itself.
  static constexpr HostKind kFocusTakingHost = HostKind::Acoustica;
  static constexpr int kMaxEntryText = 1000;
  static constexpr int kFreeEntryLimit = 255;
  static constexpr int kCustomColourCount = 16;

  // Touched is set by the entry on focus and keys; the next tick makes it Idle
  // again without effect.
  enum class TextEntryState : std::int32_t { Idle = 0, Touched = 1, Cancel = 2, Commit = 3 };

  // The module instance defaults to the module that holds this code (the
  // plug-in library, or a test program that links the editor statically).
  IEditorWindow(IEffectBase* plug, std::int32_t width, std::int32_t height, std::int32_t frameRate);
  // Closes the window, then the surface destroys the controls.
  ~IEditorWindow() override;
  // The editor window factory the plug-in module gives the effect: a window,
  // not yet open, of that size and the default frame rate.
  static std::unique_ptr<IEditorSurface> Create(IEffectBase& plug, std::int32_t width,
                                                std::int32_t height);

  // Where the window class, the entries and the image resources come from.
  void SetModuleInstance(HINSTANCE__* instance) { moduleInstance = instance; }
  HINSTANCE__* ModuleInstance() const { return moduleInstance; }
  static HINSTANCE__* ModuleOfThisCode();

  //==========================================================================
  // Window hooks of the surface

  bool BlitToWindow(const Rect& rect) override;
  // Resizes the surface, the window and its child-window parents.
  void ResizeEditor(std::int32_t newWidth, std::int32_t newHeight) override;
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
  // parent: the host's window (an HWND). Answers the editor window or null.
  void* OpenEditorWindow(void* parent) override;
  void CloseEditorWindow() override;
  void* GetWindowHandle() override { return window; }
  void SyncTooltips() override;
  std::unique_ptr<RasterBitmap> BitmapFromResource(std::int32_t id, const char* name) override;
  // A bitmap with a device context, so that painting can be copied with
  // BitBlt.
  std::unique_ptr<RasterBitmap> CreateBackBuffer(std::int32_t w, std::int32_t h) override;
  double SystemScale(void* parent) override;
  // A pop-up menu at the point, modal until the user picks or dismisses it.
  std::int32_t ChooseFromMenu(const char* const* items, std::int32_t count, int x,
                              int y) override;
  void FollowScale() override;

  //==========================================================================
  // Called by the window procedures (IEditorWindow_messages.cpp,
  // IEditorWindow_entry.cpp).

  std::intptr_t HandleWindowMessage(std::uint32_t message, std::uintptr_t wParam,
                                    std::intptr_t lParam);
  std::intptr_t HandleEntryMessage(HWND__* entry, std::uint32_t message, std::uintptr_t wParam,
                                   std::intptr_t lParam);

  //==========================================================================
  // State, for the host binding and tests

  HWND__* TextEntryWindow() const { return entryWindow; }
  TextEntryState EntryState() const { return entryState; }
  std::int32_t EndEditCountdown() const { return endEditCountdown; }
  HWND__* ParentWindow() const { return parentWindow; }
  // Editor windows open in this process.
  static int OpenWindowCount();

private:
  // Frame tick: the text entry, then the repaint, then the countdown.
  void FrameTick();
  // Closing, with or without destroying the window (a window the host
  // destroyed along with its own is only forgotten).
  void ReleaseWindow(bool destroy);
  void FinishTextEntry();
  void CloseTextEntryWindow();
  // Shared by the entries: subclass, font, focus.
  void AdoptEntry(HWND__* entry, IControl* control, IParameter* param, HFONT__* font);
  bool WantsFocusForHost();
  void TrackHover();
  void ShowTooltip();
  void HideTooltip();
  void CreateTooltip();

  HINSTANCE__* moduleInstance = nullptr;
  HWND__* window = nullptr;
  HWND__* tooltipWindow = nullptr;
  HWND__* entryWindow = nullptr;
  IControl* entryControl = nullptr;
  IParameter* entryParam = nullptr;
  std::intptr_t entryProcedure = 0; // the entry's own window procedure
  HFONT__* entryFont = nullptr;     // released with the entry
  TextEntryState entryState = TextEntryState::Idle;
  bool tooltipShown = false;
  std::int32_t tooltipIndex = kNone;
  std::int32_t endEditCountdown = 0;
  std::unique_ptr<std::uint32_t[]> customColours;
  HWND__* parentWindow = nullptr;
};

} // namespace quorvane
