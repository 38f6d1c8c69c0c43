#include "editor/IEditorSurface.h"

#include "editor/BitmapCache.h"
#include "editor/FontCache.h"
#include "editor/IBitmapControl.h"
#include "editor/IControl.h"
#include "editor/Nearest.h"
#include "editor/RectMath.h"
#include "editor/StyleFont.h"

#include "framework/IEffectBase.h"
#include "framework/IParameter.h"
#include "raster/BlitBitmap.h"
#include "raster/BlitRotated.h"
#include "raster/FillRectangle.h"
#include "raster/GlyphFont.h"
#include "raster/HeapBitmap.h"

#include <atomic>
#include <cmath>
#include <cstdio>
#include <utility>

namespace quorvane {

namespace {

constexpr int kBitmapRowAlignment = 4;
constexpr std::uint32_t kOpaqueBlack = 0xFF000000u;

const Blend kDefaultBlend{};

const Blend& BlendOrDefault(const Blend* blend) {
  return blend ? *blend : kDefaultBlend;
}

// The user's choice in the background menu, in steps of DisplayScale::kStep;
// 0 when none was made. Process-wide, so that the next editor opens at it.
std::atomic<int> userScaleSteps{0};

constexpr int kMenuFirstPercent = 100;
constexpr int kMenuLastPercent = 300;
constexpr int kMenuStepPercent = 25;
constexpr int kMenuItems = (kMenuLastPercent - kMenuFirstPercent) / kMenuStepPercent + 1;

} // namespace

IEditorSurface::IEditorSurface(IEffectBase* plugIn, std::int32_t w, std::int32_t h,
                               std::int32_t rate)
    : plug(plugIn), width(w), height(h), frameRate(rate > 0 ? rate : kDefaultFrameRate),
      pixelWidth(w), pixelHeight(h),
      // Image sets other than 1x are decoded through the window's hook.
      images([this](std::int32_t id, const std::string& name) -> const RasterBitmap* {
        BitmapCache& cache = BitmapCache::Instance();
        const RasterBitmap* found = cache.Find(id);
        return found ? found : cache.Insert(id, BitmapFromResource(id, name.c_str()));
      }) {}

IEditorSurface::~IEditorSurface() {
  while (!controls.empty())
    controls.pop_back();
  backBuffer.reset();
}

//============================================================================
// Window hooks with a base behaviour

void IEditorSurface::ResizeEditor(std::int32_t newWidth, std::int32_t newHeight) {
  width = newWidth;
  height = newHeight;
  pixelWidth = DisplayScale::ToPixels(width, scale);
  pixelHeight = DisplayScale::ToPixels(height, scale);
  EndMouseGesture();
  ResetGesture();
  hoverIdx = kNone;
  while (!controls.empty())
    controls.pop_back();
  if (backBuffer) backBuffer->Resize(pixelWidth, pixelHeight);
  if (plug) plug->UpdateEditorRect();
}

bool IEditorSurface::IsWindowOpen() {
  return GetWindowHandle() != nullptr;
}

std::int32_t IEditorSurface::SpareQuery() {
  return 0;
}

std::unique_ptr<RasterBitmap> IEditorSurface::CreateBackBuffer(std::int32_t w, std::int32_t h) {
  return std::make_unique<HeapBitmap>(w, h, kBitmapRowAlignment);
}

std::unique_ptr<GlyphFont> IEditorSurface::CreateStyleFont(const TextStyle& style) {
  return MakeStyleFont(style);
}

std::int32_t IEditorSurface::ChooseFromMenu(const char* const*, std::int32_t, int, int) {
  return kNone;
}

//============================================================================
// Screen scale

bool IEditorSurface::SetHostScale(float factor) {
  const double snapped = DisplayScale::Snap(factor);
  if (snapped == 0.0) return false;
  hostScale = snapped;
  return SetScale(snapped);
}

bool IEditorSurface::FitHostSize(std::int32_t hostWidth, std::int32_t hostHeight) {
  // Largest first: the panel keeps its aspect, so the rest of the host's window stays empty.
  for (double factor = DisplayScale::kMax; factor >= DisplayScale::kMin;
       factor -= DisplayScale::kStep)
    if (DisplayScale::ToPixels(width, factor) <= hostWidth &&
        DisplayScale::ToPixels(height, factor) <= hostHeight)
      return SetScale(factor);
  return false;
}

bool IEditorSurface::SetScale(double factor) {
  const double snapped = DisplayScale::Snap(factor);
  if (snapped == 0.0) return false;
  if (snapped == scale) return true;
  const bool open = IsWindowOpen();
  // A host that keeps its window as it is would cut a larger editor off or
  // leave a smaller one in a frame of stale pixels: the old scale stays.
  if (!AdoptScale(snapped, open)) return false;
  if (open) FollowScale();
  return true;
}

double IEditorSurface::PreferredScale(double systemFactor) const {
  if (hostScale > 0.0) return hostScale;
  const double user = UserScale();
  if (user > 0.0) return user;
  const double system = DisplayScale::Snap(systemFactor);
  return system > 0.0 ? system : DisplayScale::kMin;
}

void IEditorSurface::AdoptScaleForOpening(void* parent) {
  AdoptScale(PreferredScale(SystemScale(parent)), true);
}

bool IEditorSurface::AdoptScale(double factor, bool askHost) {
  const double snapped = DisplayScale::Snap(factor);
  if (snapped == 0.0 || snapped == scale) return true;
  const double previous = scale;
  ApplyScale(snapped);
  // The host sized its window from the size answered so far.
  if (!askHost || (plug && plug->ResizeHostWindow(pixelWidth, pixelHeight))) return true;
  ApplyScale(previous);
  return false;
}

double IEditorSurface::SystemScale(void*) {
  return 0.0;
}

double IEditorSurface::UserScale() {
  return userScaleSteps.load() * DisplayScale::kStep;
}

void IEditorSurface::ApplyScale(double factor) {
  scale = factor;
  pixelWidth = DisplayScale::ToPixels(width, scale);
  pixelHeight = DisplayScale::ToPixels(height, scale);
  images.SetScale(scale);
  if (backBuffer) {
    backBuffer->Resize(pixelWidth, pixelHeight);
    FillRectangle(backBuffer.get(), 0, 0, pixelWidth, pixelHeight, kOpaqueBlack, 1.0f, kBlendCopy);
  }
  MarkAllDirty();
  if (plug) plug->UpdateEditorRect();
}

void IEditorSurface::OfferScaleMenu(int x, int y) {
  char texts[kMenuItems][8];
  const char* items[kMenuItems];
  for (int i = 0; i < kMenuItems; ++i) {
    std::snprintf(texts[i], sizeof(texts[i]), "%d %%", kMenuFirstPercent + i * kMenuStepPercent);
    items[i] = texts[i];
  }
  MenuPicked(ChooseFromMenu(items, kMenuItems, x, y));
}

void IEditorSurface::MenuPicked(std::int32_t index) {
  // The background's menu of scales is the only menu the editor shows.
  if (index < 0 || index >= kMenuItems) return;
  const double factor = (kMenuFirstPercent + index * kMenuStepPercent) / 100.0;
  userScaleSteps.store(static_cast<int>(std::lround(factor / DisplayScale::kStep)));
  SetScale(factor);
}

RasterBitmap* IEditorSurface::DeviceImage(const BitmapRef& ref) const {
  // The registry hands out the cache's bitmaps and its own; drawing only reads them.
  return const_cast<RasterBitmap*>(images.Device(ref.bitmap));
}

bool IEditorSurface::PaintPixels(const Rect& pixels) {
  return PaintRect(DisplayScale::CoveringLogical(pixels, scale));
}

//============================================================================
// Plug-in side

void IEditorSurface::PushParamToControls(std::int32_t index, double value, bool normalised) {
  // Controls without a parameter carry a negative index; no value is theirs.
  if (index < 0) return;
  if (!normalised) {
    const IParameter* param = plug ? plug->Param(index) : nullptr;
    if (!param) return;
    value = param->NormaliseValue(value);
  }
  for (std::size_t i = 0; i < controls.size(); ++i)
    if (controls[i]->ParamIndex() == index) controls[i]->AcceptPlugValue(value);
}

void IEditorSurface::PrepareBackBuffer() {
  AdoptScale(PreferredScale(SystemScale(nullptr)), false);
  backBuffer = CreateBackBuffer(pixelWidth, pixelHeight);
  // A fresh bitmap's pixels are undefined; whatever no control covers shows
  // black rather than stale memory.
  if (backBuffer)
    FillRectangle(backBuffer.get(), 0, 0, pixelWidth, pixelHeight, kOpaqueBlack, 1.0f, kBlendCopy);
}

//============================================================================
// Building

std::int32_t IEditorSurface::AddControl(std::unique_ptr<IControl> control) {
  if (!control) return kNone;
  // A drop-down adds its list while the editor runs, and the plug-in side
  // walks the list from any thread under the plug-in lock.
  if (plug) {
    PluginLockGuard guard(plug->GetPluginLock());
    controls.push_back(std::move(control));
  } else {
    controls.push_back(std::move(control));
  }
  return ControlCount() - 1;
}

void IEditorSurface::AddBackground(std::int32_t resourceId, const char* name) {
  const BitmapRef image = LoadEditorBitmap(resourceId, name, 1);
  auto background = std::make_unique<IBitmapControl>(plug, 0, 0, kNone, image, true);
  background->SetBlend(Blend{Blend::kPlainCopy, 1.0f});
  controls.insert(controls.begin(), std::move(background));
  hasBackground = true;
  if (captureIdx >= 0) ++captureIdx;
  if (hoverIdx >= 0) ++hoverIdx;
}

BitmapRef IEditorSurface::LoadEditorBitmap(std::int32_t resourceId, const char* name,
                                           std::int32_t frames) {
  BitmapCache& cache = BitmapCache::Instance();
  RasterBitmap* bitmap = cache.Find(resourceId);
  if (!bitmap) bitmap = cache.Insert(resourceId, BitmapFromResource(resourceId, name));
  if (!bitmap) return BitmapRef(nullptr, 0, 0, frames);
  images.AddLoaded(bitmap, resourceId, name);
  return BitmapRef(bitmap, bitmap->Width(), bitmap->Height(), frames);
}

//============================================================================
// Window side

IControl* IEditorSurface::Control(std::int32_t index) const {
  if (index < 0 || index >= ControlCount()) return nullptr;
  return controls[static_cast<std::size_t>(index)].get();
}

void IEditorSurface::MarkAllDirty() {
  for (std::size_t i = 0; i < controls.size(); ++i)
    controls[i]->MarkDirty(false);
}

bool IEditorSurface::CollectDirtyRect(Rect& rect) {
  bool any = false;
  for (std::size_t i = 0; i < controls.size(); ++i) {
    if (!controls[i]->NeedsRedraw()) continue;
    rect = UnionRect(rect, controls[i]->DrawRect());
    any = true;
  }
  return any;
}

bool IEditorSurface::PaintRect(const Rect& rect) {
  if (controls.empty()) return true;
  redrawRect = rect;
  const bool somethingToPaint = !IsZeroRect(rect);
  // By index: a control's paint may change other controls (the drop-down
  // hides its list), never the list itself.
  for (std::size_t i = 0; i < controls.size(); ++i) {
    IControl& control = *controls[i];
    const Rect& area = control.DrawRect();
    if (!control.IsHidden() && somethingToPaint && !IsZeroRect(area) && RectsOverlap(area, rect))
      control.Paint(*this);
    control.MarkClean();
  }
  return BlitToWindow(ToPixels(rect));
}

std::int32_t IEditorSurface::HitControl(int x, int y) const {
  if (captureIdx >= 0) return captureIdx;
  for (std::int32_t i = ControlCount() - 1; i >= 0; --i) {
    const IControl& control = *controls[static_cast<std::size_t>(i)];
    if (!control.IsHidden() && !control.IsGrayed() && control.HitTest(x, y)) return i;
  }
  return kNone;
}

void IEditorSurface::SurfaceMouseDown(int px, int py, const MouseMods& mods) {
  const int x = Logical(px);
  const int y = Logical(py);
  ResetGesture();
  // A second button pressed before the first was released: the host hears the
  // end of the first gesture before the next begins.
  EndMouseGesture();
  const std::int32_t i = HitControl(x, y);
  if (i == kNone) return;
  if (i == 0 && hasBackground && mods.rightButton) {
    OfferScaleMenu(px, py);
    return;
  }
  captureIdx = i;
  lastX = x;
  lastY = y;
  IControl* control = Control(i);
  BeginMouseGesture(control->ParamIndex());
  control->HandleMouseDown(x, y, mods);
}

void IEditorSurface::SurfaceMouseUp(int px, int py, const MouseMods& mods) {
  const int x = Logical(px);
  const int y = Logical(py);
  const std::int32_t i = HitControl(x, y);
  ResetGesture();
  if (i != kNone) Control(i)->HandleMouseUp(x, y, mods);
  EndMouseGesture();
}

void IEditorSurface::SurfaceDrag(int px, int py, const MouseMods& mods) {
  if (captureIdx < 0) return;
  const int x = Logical(px);
  const int y = Logical(py);
  const std::int32_t dX = ClampToInt(std::int64_t{x} - lastX);
  const std::int32_t dY = ClampToInt(std::int64_t{y} - lastY);
  if (dX == 0 && dY == 0) return;
  lastX = x;
  lastY = y;
  Control(captureIdx)->HandleDrag(x, y, dX, dY, mods);
}

bool IEditorSurface::SurfaceDoubleClick(int px, int py, const MouseMods& mods) {
  const int x = Logical(px);
  const int y = Logical(py);
  ResetGesture();
  EndMouseGesture();
  const std::int32_t i = HitControl(x, y);
  if (i == kNone) return false;
  IControl* control = Control(i);
  // Ended by the button release that follows.
  BeginMouseGesture(control->ParamIndex());
  if (!control->DblClickAsDown()) {
    control->HandleDoubleClick(x, y, mods);
    return false;
  }
  captureIdx = i;
  lastX = x;
  lastY = y;
  control->HandleMouseDown(x, y, mods);
  return true;
}

void IEditorSurface::SurfaceWheel(int px, int py, const MouseMods& mods, int notches) {
  const int x = Logical(px);
  const int y = Logical(py);
  const std::int32_t i = HitControl(x, y);
  if (i == kNone) return;
  IControl* control = Control(i);
  const std::int32_t param = control->ParamIndex();
  const bool gesture = param >= 0 && plug;
  // One gesture spans a run of notches; the plug-in base ends it about half
  // a second after the last one.
  if (gesture) plug->BeginHostGestureOnce(param);
  control->HandleWheel(x, y, mods, notches);
  if (gesture) plug->EndHostGestureLater(param);
}

void IEditorSurface::SurfaceKey(int px, int py, int key) {
  const int x = Logical(px);
  const int y = Logical(py);
  const std::int32_t i = HitControl(x, y);
  if (i != kNone) Control(i)->HandleKey(x, y, key);
}

bool IEditorSurface::SurfaceHover(int px, int py, const MouseMods& mods) {
  if (!trackHover) return false;
  const int x = Logical(px);
  const int y = Logical(py);
  const std::int32_t i = HitControl(x, y);
  if (i == kNone) return trackHover;
  lastX = x;
  lastY = y;
  Control(i)->HandleHover(x, y, mods);
  if (hoverIdx >= 0 && hoverIdx != i) {
    if (IControl* previous = Control(hoverIdx)) previous->HandleLeave();
  }
  hoverIdx = i;
  return trackHover;
}

void IEditorSurface::SurfaceLeave() {
  for (std::size_t i = 0; i < controls.size(); ++i)
    controls[i]->HandleLeave();
  hoverIdx = kNone;
}

void IEditorSurface::ApplyPromptText(IControl* control, IParameter* param, const char* text) {
  // Only parameter prompts exist; an entry without a parameter changes nothing.
  if (!control || !param) return;
  const double parsed = param->ParseValue(text ? text : "");
  const std::int32_t index = control->ParamIndex();
  const bool gesture = IsHostParam(index);
  if (gesture) plug->BeginHostGesture(index);
  control->AcceptUserValue(param->NormaliseValue(parsed));
  if (gesture) plug->EndHostGesture(index);
}

//============================================================================
// Drawing

bool IEditorSurface::PaintBitmap(const BitmapRef& ref, const Rect& rect, std::int32_t frame,
                                 const Blend* blend, bool vertical) {
  std::int32_t srcX = 0;
  std::int32_t srcY = 0;
  if (ref.frames >= 2 && frame >= 2) {
    // Multiplied before dividing: the quotient alone is inexact and can drop
    // an offset that lies exactly on a half pixel.
    const double along = vertical ? ref.height : ref.width;
    const std::int32_t offset = TruncToInt(std::floor(along * (frame - 1) / ref.frames + 0.5));
    (vertical ? srcY : srcX) = offset;
  }
  return PaintBitmapRegion(ref, rect, srcX, srcY, blend);
}

bool IEditorSurface::PaintBitmapRegion(const BitmapRef& ref, const Rect& rect, std::int32_t srcX,
                                       std::int32_t srcY, const Blend* blend) {
  if (ref.IsEmpty() || !backBuffer) return true;
  if (IsZeroRect(IntersectRect(rect, redrawRect))) return true;
  const Rect area = ToPixels(rect);
  const Rect clip = IntersectRect(area, ToPixels(redrawRect));
  if (IsZeroRect(clip)) return true;
  const Blend& b = BlendOrDefault(blend);
  BlitBitmap(backBuffer.get(), DeviceImage(ref), clip.left, clip.top,
             ClampToInt(std::int64_t{DisplayScale::ToPixels(srcX, scale)} + clip.left - area.left),
             ClampToInt(std::int64_t{DisplayScale::ToPixels(srcY, scale)} + clip.top - area.top),
             ClampToInt(std::int64_t{clip.right} - clip.left),
             ClampToInt(std::int64_t{clip.bottom} - clip.top), b.weight, b.ModeWord());
  return true;
}

bool IEditorSurface::PaintRotatedBitmap(const BitmapRef& ref, std::int32_t centreX,
                                        std::int32_t centreY, double angle, const Blend* blend,
                                        float offsetX, float offsetY) {
  if (ref.IsEmpty() || !backBuffer) return true;
  const std::int32_t w = DisplayScale::ToPixels(ref.width, scale);
  const std::int32_t h = DisplayScale::ToPixels(ref.height, scale);
  const std::int32_t left =
      TruncToInt(static_cast<float>(centreX * scale) - static_cast<float>(w / 2));
  const std::int32_t top =
      TruncToInt(static_cast<float>(centreY * scale) - static_cast<float>(h / 2));
  const float shift = static_cast<float>(scale);
  const Blend& b = BlendOrDefault(blend);
  BlitRotated(backBuffer.get(), DeviceImage(ref), left, top, w, h, offsetX * shift, offsetY * shift,
              static_cast<float>(w), static_cast<float>(h), static_cast<float>(angle), false,
              b.weight, b.ModeWord() | kBlendBilinear, 0.0f, 0.0f);
  return true;
}

bool IEditorSurface::PaintFilledRect(const Color& colour, const Rect& rect, const Blend* blend) {
  if (!backBuffer) return true;
  // Limited to the bitmap first, so that no extent overflows an int.
  const Rect area =
      IntersectRect(ToPixels(rect), Rect{0, 0, backBuffer->Width(), backBuffer->Height()});
  if (IsZeroRect(area)) return true;
  const Blend& b = BlendOrDefault(blend);
  FillRectangle(backBuffer.get(), area.left, area.top, area.right - area.left,
                area.bottom - area.top, PackColor(colour), b.weight, b.ModeWord());
  return true;
}

bool IEditorSurface::PaintText(TextStyle& style, const char* text, const Rect& rect) {
  if (!text || text[0] == '\0') return true;
  GlyphFont* font = FontFor(style);
  if (!font) return false;
  if (!backBuffer) return true;
  font->SetInkColour(PackColor(style.color));
  std::uint32_t format = GlyphFont::kNoClip;
  if (style.color.a != 255) format |= GlyphFont::kBlendTextAlpha;
  if (style.alignment == TextStyle::kAlignCentre)
    format |= GlyphFont::kCentre;
  else if (style.alignment != TextStyle::kAlignLeft)
    format |= GlyphFont::kRight;
  Rect area = ToPixels(rect);
  font->RenderTextInRect(backBuffer.get(), text, -1, &area, format);
  return true;
}

GlyphFont* IEditorSurface::FontFor(TextStyle& style) {
  if (scale != 1.0) {
    // A font made at the scaled size, not small text enlarged; the style
    // keeps its own size and its 1x font.
    TextStyle scaled = style;
    scaled.size = DisplayScale::ToPixels(style.size, scale);
    scaled.font = nullptr;
    return CachedFont(scaled);
  }
  if (!style.font) style.font = CachedFont(style);
  return style.font;
}

BitmapRef IEditorSurface::CropBitmap(const BitmapRef& ref, const Rect& rect) {
  const std::int64_t w = std::int64_t{rect.right} - rect.left;
  const std::int64_t h = std::int64_t{rect.bottom} - rect.top;
  if (ref.IsEmpty() || w <= 0 || h <= 0 || w > HeapBitmap::kMaxDimension ||
      h > HeapBitmap::kMaxDimension)
    return BitmapRef(nullptr, 0, 0, ref.frames);
  auto crop =
      std::make_unique<HeapBitmap>(static_cast<int>(w), static_cast<int>(h), kBitmapRowAlignment);
  if (!crop->Pixels()) return BitmapRef(nullptr, 0, 0, ref.frames);
  // Parts of rect outside the source stay transparent.
  FillRectangle(crop.get(), 0, 0, crop->Width(), crop->Height(), 0u, 1.0f, kBlendCopy);
  BlitBitmap(crop.get(), ref.bitmap, 0, 0, rect.left, rect.top, crop->Width(), crop->Height(), 1.0f,
             kBlendCopy);
  RasterBitmap* kept = BitmapCache::Instance().Insert(BitmapCache::kCropped, std::move(crop));
  images.AddCrop(kept, ref.bitmap, rect);
  return BitmapRef(kept, kept->Width(), kept->Height(), ref.frames);
}

GlyphFont* IEditorSurface::CachedFont(const TextStyle& style) {
  FontCache& cache = FontCache::Instance();
  GlyphFont* font = cache.Find(style);
  return font ? font : cache.Insert(style, CreateStyleFont(style));
}

//============================================================================
// Gesture state

void IEditorSurface::ResetGesture() {
  captureIdx = kNone;
  lastX = kNone;
  lastY = kNone;
}

void IEditorSurface::BeginMouseGesture(std::int32_t paramIndex) {
  if (!IsHostParam(paramIndex)) return;
  plug->BeginHostGesture(paramIndex);
  gestureParam = paramIndex;
}

void IEditorSurface::EndMouseGesture() {
  if (gestureParam == kNone) return;
  const std::int32_t index = gestureParam;
  gestureParam = kNone;
  if (plug) plug->EndHostGesture(index);
}

bool IEditorSurface::IsHostParam(std::int32_t paramIndex) const {
  // The host hears gestures only for parameters it knows.
  return plug && plug->IsValidParam(paramIndex);
}

} // namespace quorvane
