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

#include <cmath>
#include <utility>

namespace quorvane {

namespace {

constexpr int kBitmapRowAlignment = 4;
constexpr std::uint32_t kOpaqueBlack = 0xFF000000u;

const Blend kDefaultBlend{};

const Blend& BlendOrDefault(const Blend* blend) {
  return blend ? *blend : kDefaultBlend;
}

} // namespace

IEditorSurface::IEditorSurface(IEffectBase* plugIn, std::int32_t w, std::int32_t h,
                               std::int32_t rate)
    : plug(plugIn), width(w), height(h), frameRate(rate > 0 ? rate : kDefaultFrameRate) {}

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
  EndMouseGesture();
  ResetGesture();
  hoverIdx = kNone;
  while (!controls.empty())
    controls.pop_back();
  if (backBuffer) backBuffer->Resize(width, height);
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
  backBuffer = CreateBackBuffer(width, height);
  // A fresh bitmap's pixels are undefined; whatever no control covers shows
  // black rather than stale memory.
  if (backBuffer)
    FillRectangle(backBuffer.get(), 0, 0, width, height, kOpaqueBlack, 1.0f, kBlendCopy);
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
  if (captureIdx >= 0) ++captureIdx;
  if (hoverIdx >= 0) ++hoverIdx;
}

BitmapRef IEditorSurface::LoadEditorBitmap(std::int32_t resourceId, const char* name,
                                           std::int32_t frames) {
  BitmapCache& cache = BitmapCache::Instance();
  RasterBitmap* bitmap = cache.Find(resourceId);
  if (!bitmap) bitmap = cache.Insert(resourceId, BitmapFromResource(resourceId, name));
  if (!bitmap) return BitmapRef(nullptr, 0, 0, frames);
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
  return BlitToWindow(rect);
}

std::int32_t IEditorSurface::HitControl(int x, int y) const {
  if (captureIdx >= 0) return captureIdx;
  for (std::int32_t i = ControlCount() - 1; i >= 0; --i) {
    const IControl& control = *controls[static_cast<std::size_t>(i)];
    if (!control.IsHidden() && !control.IsGrayed() && control.HitTest(x, y)) return i;
  }
  return kNone;
}

void IEditorSurface::SurfaceMouseDown(int x, int y, const MouseMods& mods) {
  ResetGesture();
  // A second button pressed before the first was released: the host hears the
  // end of the first gesture before the next begins.
  EndMouseGesture();
  const std::int32_t i = HitControl(x, y);
  if (i == kNone) return;
  captureIdx = i;
  lastX = x;
  lastY = y;
  IControl* control = Control(i);
  BeginMouseGesture(control->ParamIndex());
  control->HandleMouseDown(x, y, mods);
}

void IEditorSurface::SurfaceMouseUp(int x, int y, const MouseMods& mods) {
  const std::int32_t i = HitControl(x, y);
  ResetGesture();
  if (i != kNone) Control(i)->HandleMouseUp(x, y, mods);
  EndMouseGesture();
}

void IEditorSurface::SurfaceDrag(int x, int y, const MouseMods& mods) {
  if (captureIdx < 0) return;
  const std::int32_t dX = ClampToInt(std::int64_t{x} - lastX);
  const std::int32_t dY = ClampToInt(std::int64_t{y} - lastY);
  if (dX == 0 && dY == 0) return;
  lastX = x;
  lastY = y;
  Control(captureIdx)->HandleDrag(x, y, dX, dY, mods);
}

bool IEditorSurface::SurfaceDoubleClick(int x, int y, const MouseMods& mods) {
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

void IEditorSurface::SurfaceWheel(int x, int y, const MouseMods& mods, int notches) {
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

void IEditorSurface::SurfaceKey(int x, int y, int key) {
  const std::int32_t i = HitControl(x, y);
  if (i != kNone) Control(i)->HandleKey(x, y, key);
}

bool IEditorSurface::SurfaceHover(int x, int y, const MouseMods& mods) {
  if (!trackHover) return false;
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
  const Rect clip = IntersectRect(rect, redrawRect);
  if (IsZeroRect(clip)) return true;
  const Blend& b = BlendOrDefault(blend);
  BlitBitmap(backBuffer.get(), ref.bitmap, clip.left, clip.top,
             ClampToInt(std::int64_t{srcX} + clip.left - rect.left),
             ClampToInt(std::int64_t{srcY} + clip.top - rect.top),
             ClampToInt(std::int64_t{clip.right} - clip.left),
             ClampToInt(std::int64_t{clip.bottom} - clip.top), b.weight, b.ModeWord());
  return true;
}

bool IEditorSurface::PaintRotatedBitmap(const BitmapRef& ref, std::int32_t centreX,
                                        std::int32_t centreY, double angle, const Blend* blend,
                                        float offsetX, float offsetY) {
  if (ref.IsEmpty() || !backBuffer) return true;
  const std::int32_t left =
      TruncToInt(static_cast<float>(centreX) - static_cast<float>(ref.width / 2));
  const std::int32_t top =
      TruncToInt(static_cast<float>(centreY) - static_cast<float>(ref.height / 2));
  const Blend& b = BlendOrDefault(blend);
  BlitRotated(backBuffer.get(), ref.bitmap, left, top, ref.width, ref.height, offsetX, offsetY,
              static_cast<float>(ref.width), static_cast<float>(ref.height),
              static_cast<float>(angle), false, b.weight, b.ModeWord() | kBlendBilinear, 0.0f,
              0.0f);
  return true;
}

bool IEditorSurface::PaintFilledRect(const Color& colour, const Rect& rect, const Blend* blend) {
  if (!backBuffer) return true;
  // Limited to the bitmap first, so that no extent overflows an int.
  const Rect area = IntersectRect(rect, Rect{0, 0, backBuffer->Width(), backBuffer->Height()});
  if (IsZeroRect(area)) return true;
  const Blend& b = BlendOrDefault(blend);
  FillRectangle(backBuffer.get(), area.left, area.top, area.right - area.left,
                area.bottom - area.top, PackColor(colour), b.weight, b.ModeWord());
  return true;
}

bool IEditorSurface::PaintText(TextStyle& style, const char* text, const Rect& rect) {
  if (!text || text[0] == '\0') return true;
  GlyphFont* font = style.font;
  if (!font) {
    FontCache& cache = FontCache::Instance();
    font = cache.Find(style);
    if (!font) font = cache.Insert(style, CreateStyleFont(style));
    if (!font) return false;
    style.font = font;
  }
  if (!backBuffer) return true;
  font->SetInkColour(PackColor(style.color));
  std::uint32_t format = GlyphFont::kNoClip;
  if (style.color.a != 255) format |= GlyphFont::kBlendTextAlpha;
  if (style.alignment == TextStyle::kAlignCentre)
    format |= GlyphFont::kCentre;
  else if (style.alignment != TextStyle::kAlignLeft)
    format |= GlyphFont::kRight;
  Rect area = rect;
  font->RenderTextInRect(backBuffer.get(), text, -1, &area, format);
  return true;
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
  return BitmapRef(kept, kept->Width(), kept->Height(), ref.frames);
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
