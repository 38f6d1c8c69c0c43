#pragma once
// The platform-neutral half of the editor: it owns the controls, an
// off-screen back bitmap of the editor's size and the state of the mouse
// gesture in progress. Controls live in logical units (the editor's size as
// built); at a screen scale s the back bitmap has round(size x s) pixels,
// drawing maps logical rectangles onto it, and the window's pointer
// positions (device pixels) become logical units in the entry points. It turns window events into
// calls on controls, offers controls the drawing operations they paint with, loads bitmaps through
// the process-wide cache, and carries values between the controls and the plug-in base.
//
// The editor window derives from it, implements the window hooks (the pure
// operations below) and calls the entry points from its window procedure.
// The plug-in base owns the surface once AttachEditor has run.
//
// Threads: painting, the timer, mouse, key and prompt handling run on the
// window's thread. PushParamToControls runs on whichever thread changed a
// parameter, with the plug-in lock held; it takes no lock of the surface.

#include "editor/BitmapRef.h"
#include "editor/Blend.h"
#include "editor/DisplayScale.h"
#include "editor/MouseMods.h"
#include "editor/ScaledImages.h"
#include "framework/IEditorConnection.h"
#include "raster/Color.h"
#include "raster/GlyphFont.h"
#include "raster/RasterBitmap.h"
#include "raster/Rect.h"
#include "raster/TextStyle.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace quorvane {

class IEffectBase;
class IParameter;
class IControl;

class IEditorSurface : public IEditorConnection {
public:
  static constexpr std::int32_t kNone = -1;

  // frameRate <= 0 selects the default of 24 frames per second.
  IEditorSurface(IEffectBase* plug, std::int32_t width, std::int32_t height,
                 std::int32_t frameRate);
  // Destroys the controls, the last attached first, then the back bitmap.
  // Cached bitmaps and fonts stay until the library unloads.
  ~IEditorSurface() override;
  IEditorSurface(const IEditorSurface&) = delete;
  IEditorSurface& operator=(const IEditorSurface&) = delete;

  //==========================================================================
  // Window hooks, in table order. The pure ones belong to the window.

  // Copies that rectangle of the back bitmap to the window; ends every
  // PaintRect.
  virtual bool BlitToWindow(const Rect& rect) = 0;
  // New size: resets the gesture state, destroys every control, resizes the
  // back bitmap and tells the plug-in base.
  virtual void ResizeEditor(std::int32_t newWidth, std::int32_t newHeight);
  virtual bool IsWindowOpen();
  // For a control that carries its own text; nothing in this system calls it.
  virtual void OpenControlTextEntry(IControl* control) = 0;
  // Opens an edit box or a list of value names for the control's parameter.
  // A committed entry must reach ApplyPromptText; whenever the prompt closes,
  // committed or cancelled, the window calls control->FinishUserEdit().
  virtual void PromptParamInput(IControl* control, IParameter* param) = 0;
  virtual void OpenTextEntry(IControl* control, const TextStyle& style, const Rect& rect,
                             const char* text, bool secret, bool editable) = 0;
  // Directory of the host executable / of the plug-in library, with its
  // trailing separator, or "".
  virtual void GetHostDirectory(std::string& directory) = 0;
  virtual void GetPluginDirectory(std::string& directory) = 0;
  // action 1 saves, anything else opens; fileName becomes the choice or "".
  virtual void AskForFile(std::string& fileName, std::int32_t action, const char* directory,
                          const char* extensions) = 0;
  virtual bool AskForColor(Color& colour, const char* title) = 0;
  // Null confirm and error texts mean no message boxes.
  virtual bool OpenWebAddress(const char* url, const char* title, const char* confirm,
                              const char* error) = 0;
  // After that many timer ticks the window calls the plug-in base's
  // FlushHostGesture; Clear disarms it.
  void StartEndEditCountdown(std::int32_t ticks) override = 0;
  void ClearEndEditCountdown() override = 0;
  // Reserved; answers 0.
  virtual std::int32_t SpareQuery();
  void* OpenEditorWindow(void* parent) override = 0;
  void CloseEditorWindow() override = 0;
  virtual void* GetWindowHandle() = 0;
  virtual void SyncTooltips() = 0;
  // Decodes the image with that resource id; the name is informative only.
  // Null when it cannot be loaded.
  virtual std::unique_ptr<RasterBitmap> BitmapFromResource(std::int32_t id, const char* name) = 0;
  // The back bitmap: a bitmap with a device context on Windows; the base
  // makes a plain heap bitmap.
  virtual std::unique_ptr<RasterBitmap> CreateBackBuffer(std::int32_t w, std::int32_t h);
  // A font for a text style that the font cache does not hold yet; null when
  // none can be made. The base makes the platform's font (none without a
  // platform text renderer).
  virtual std::unique_ptr<GlyphFont> CreateStyleFont(const TextStyle& style);
  // Shows a pop-up menu of items at a point (device pixels) and answers the
  // index picked, or -1. A window whose menu does not wait for the user
  // answers -1 and hands the pick to MenuPicked once it is made. The base
  // offers no menu.
  virtual std::int32_t ChooseFromMenu(const char* const* items, std::int32_t count, int x, int y);
  // The open window follows a new scale: its size becomes EditorWidth x
  // EditorHeight and it is repainted whole. The base has no window.
  virtual void FollowScale() {}
  // The screen scale the system gives a window inside parent (the screen's
  // when parent is null); 0 when unknown, as in the base.
  virtual double SystemScale(void* parent);

  //==========================================================================
  // Called by the plug-in base (IEditorConnection). HostWheel, a wheel step
  // the host forwards, keeps the connection's default (not taken) unless the
  // window overrides it.

  void PushParamToControls(std::int32_t index, double value, bool normalised) override;
  // The back bitmap is made at the preferred scale, so that the first size
  // the host asks for is already right.
  void PrepareBackBuffer() override;
  std::int32_t FrameRate() const override { return frameRate; }
  // In device pixels, at the current scale.
  std::int32_t EditorWidth() const override { return pixelWidth; }
  std::int32_t EditorHeight() const override { return pixelHeight; }
  // The factor a host sends; it takes precedence over every other source.
  bool SetHostScale(float factor) override;
  bool FitHostSize(std::int32_t width, std::int32_t height) override;

  //==========================================================================
  // Screen scale

  double Scale() const { return scale; }
  // Draws the editor at factor (snapped to the supported steps). While the
  // window is open the host is asked for the new size first; a host that
  // refuses keeps the editor at its old scale. False when the factor is
  // refused or the scale stays as it was for that reason.
  bool SetScale(double factor);
  // The scale a window opening now takes: the host's factor, else the
  // user's choice in this process, else the system's factor (0 if unknown).
  double PreferredScale(double systemFactor) const;
  // For a window about to open inside parent: the preferred scale, if the
  // host takes the size it brings; otherwise the scale stays.
  void AdoptScaleForOpening(void* parent);
  // The choice the user made in the background's menu, for every editor
  // opened later in this process; 0 when none was made.
  static double UserScale();
  // Paints a rectangle of the window given in device pixels.
  bool PaintPixels(const Rect& pixels);
  Rect ToPixels(const Rect& logical) const { return DisplayScale::ToPixels(logical, scale); }

  //==========================================================================
  // Building the editor (the effect's constructor)

  // The surface owns the control from now on; answers its index. Null is
  // refused with kNone.
  std::int32_t AddControl(std::unique_ptr<IControl> control);
  // The picture under every control: painted first, hit last.
  void AddBackground(std::int32_t resourceId, const char* name);
  // From the process-wide cache, decoding on the first request only. An image
  // that cannot be loaded gives an empty reference (drawn as nothing).
  BitmapRef LoadEditorBitmap(std::int32_t resourceId, const char* name, std::int32_t frames);

  //==========================================================================
  // Called by the window

  void MarkAllDirty();
  // Widens rect (a zero rectangle on every tick) by every control that needs
  // drawing; true if any does.
  bool CollectDirtyRect(Rect& rect);
  // Paints the controls that meet rect (logical units) into the back bitmap,
  // then copies that rectangle, in device pixels, to the window.
  bool PaintRect(const Rect& rect);
  // Topmost control at the point that is neither hidden nor grayed, or the
  // capturing control while one captures; kNone if none.
  std::int32_t HitControl(int x, int y) const;
  // The pointer entry points take device pixels.
  void SurfaceMouseDown(int x, int y, const MouseMods& mods);
  void SurfaceMouseUp(int x, int y, const MouseMods& mods);
  void SurfaceDrag(int x, int y, const MouseMods& mods);
  // True when the window should capture the mouse.
  bool SurfaceDoubleClick(int x, int y, const MouseMods& mods);
  void SurfaceWheel(int x, int y, const MouseMods& mods, int notches);
  void SurfaceKey(int x, int y, int key);
  // True when the window should track hovering.
  bool SurfaceHover(int x, int y, const MouseMods& mods);
  void SurfaceLeave();
  // A committed prompt: the text becomes the control's value inside one
  // host gesture.
  void ApplyPromptText(IControl* control, IParameter* param, const char* text);

  //==========================================================================
  // Drawing operations for controls, into the back bitmap. A null blend
  // means mode 0 at weight 1. Empty bitmap references draw nothing.

  // Frame `frame` (1-based) of a strip of equal frames.
  bool PaintBitmap(const BitmapRef& ref, const Rect& rect, std::int32_t frame, const Blend* blend,
                   bool vertical);
  // The bitmap from (srcX, srcY) into rect, clipped to the rectangle being
  // painted.
  bool PaintBitmapRegion(const BitmapRef& ref, const Rect& rect, std::int32_t srcX,
                         std::int32_t srcY, const Blend* blend);
  // The whole bitmap centred on (centreX, centreY), turned by angle radians
  // about its centre with bilinear filtering; not clipped to the rectangle
  // being painted.
  bool PaintRotatedBitmap(const BitmapRef& ref, std::int32_t centreX, std::int32_t centreY,
                          double angle, const Blend* blend, float offsetX, float offsetY);
  // Not clipped to the rectangle being painted.
  bool PaintFilledRect(const Color& colour, const Rect& rect, const Blend* blend);
  // The style keeps a pointer to its cached font. False when no font could be
  // made for the style.
  bool PaintText(TextStyle& style, const char* text, const Rect& rect);
  // The cached font of a style at the current scale, made on first use (the
  // style keeps its 1x font); null when none can be made.
  GlyphFont* FontFor(TextStyle& style);
  // A copy of rect of the bitmap, kept in the bitmap cache.
  BitmapRef CropBitmap(const BitmapRef& ref, const Rect& rect);
  // The item picked in the menu ChooseFromMenu showed last; an index outside
  // it is ignored.
  void MenuPicked(std::int32_t index);

  //==========================================================================

  IEffectBase* Plug() const { return plug; }
  std::int32_t ControlCount() const { return static_cast<std::int32_t>(controls.size()); }
  // Null for an index outside the list.
  IControl* Control(std::int32_t index) const;
  RasterBitmap* BackBuffer() const { return backBuffer.get(); }
  const Rect& RedrawRect() const { return redrawRect; }
  std::int32_t CaptureIndex() const { return captureIdx; }
  std::int32_t HoverIndex() const { return hoverIdx; }
  bool TrackHover() const { return trackHover; }
  void SetTrackHover(bool track) { trackHover = track; }
  bool ShowTooltips() const { return showTooltips; }
  void SetShowTooltips(bool show) { showTooltips = show; }

private:
  void ApplyScale(double factor);
  // The host asked for the new size when askHost is set; false when refused.
  bool AdoptScale(double factor, bool askHost);
  int Logical(int pixel) const { return DisplayScale::ToLogical(pixel, scale); }
  // The background's right-click menu of scales.
  void OfferScaleMenu(int x, int y);
  RasterBitmap* DeviceImage(const BitmapRef& ref) const;
  GlyphFont* CachedFont(const TextStyle& style);
  void ResetGesture();
  // Host gestures of the mouse: every begin gets exactly one end.
  void BeginMouseGesture(std::int32_t paramIndex);
  void EndMouseGesture();
  bool IsHostParam(std::int32_t paramIndex) const;

  IEffectBase* plug;
  std::vector<std::unique_ptr<IControl>> controls;
  Rect redrawRect;
  std::unique_ptr<RasterBitmap> backBuffer;
  std::int32_t width;
  std::int32_t height;
  std::int32_t frameRate;
  double scale = 1.0;
  double hostScale = 0.0; // 0: the host sent none
  std::int32_t pixelWidth;
  std::int32_t pixelHeight;
  bool hasBackground = false;
  ScaledImages images;
  std::int32_t captureIdx = kNone;
  std::int32_t lastX = kNone;
  std::int32_t lastY = kNone;
  std::int32_t hoverIdx = kNone;
  bool trackHover = false;
  bool showTooltips = false;
  std::int32_t gestureParam = kNone; // parameter of the open mouse gesture
};

} // namespace quorvane
