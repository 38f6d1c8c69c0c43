#include "raster/win32/GdiGlyphSource.h"

#include "raster/BlitBitmap.h"
#include "raster/FillRectangle.h"
#include "raster/win32/DibBitmap.h"
#include "raster/win32/WineDetect.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace quorvane {
namespace {

constexpr int kMinGlyphCanvas = 256;
constexpr int kMinSmallCanvas = 4;
constexpr int kLocalUnits = 1024;
constexpr int kMaxLocalText = 999;
constexpr std::uint32_t kAlignmentBits = DT_CENTER | DT_RIGHT | DT_VCENTER | DT_BOTTOM;

COLORREF ToColorRef(std::uint32_t word) {
  return RGB(word >> 16 & 0xFF, word >> 8 & 0xFF, word & 0xFF);
}

// Selects a font into a context for the lifetime of the object.
class SelectedFont {
public:
  SelectedFont(HDC dc, void* font)
      : dc_(dc), previous_(SelectObject(dc, static_cast<HFONT>(font))) {}
  ~SelectedFont() { SelectObject(dc_, previous_); }
  SelectedFont(const SelectedFont&) = delete;
  SelectedFont& operator=(const SelectedFont&) = delete;

private:
  HDC dc_;
  HGDIOBJ previous_;
};

// The text as GDI gets it: UTF-16 when it holds any multi-byte sequence that
// converts, otherwise the bytes themselves for the ANSI call.
class GdiText {
public:
  GdiText(const char* text, int length) : bytes_(text), length_(length) {
    if (std::none_of(text, text + length, [](char c) { return (c & 0x80) != 0; })) return;
    const int units = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, length, nullptr, 0);
    if (units <= 0) return;
    wchar_t* buffer = local_;
    if (units > kMaxLocalText) {
      heap_.resize(std::size_t(units) + 32);
      buffer = heap_.data();
    }
    if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, length, buffer, units) == units) {
      wide_ = buffer;
      units_ = units;
    }
  }

  GdiText(const GdiText&) = delete;
  GdiText& operator=(const GdiText&) = delete;

  int Draw(HDC dc, RECT* rect, UINT format) const {
    format |= DT_NOPREFIX;
    return wide_ != nullptr ? DrawTextW(dc, wide_, units_, rect, format)
                            : DrawTextA(dc, bytes_, length_, rect, format);
  }

private:
  const char* bytes_;
  int length_;
  const wchar_t* wide_ = nullptr;
  int units_ = 0;
  wchar_t local_[kLocalUnits];
  std::vector<wchar_t> heap_;
};

void PrepareContext(HDC dc, const NativeTextRequest& request) {
  SetTextColor(dc, ToColorRef(request.ink));
  const bool opaque = request.paperMode == 2;
  SetBkMode(dc, opaque ? OPAQUE : TRANSPARENT);
  if (opaque) SetBkColor(dc, ToColorRef(request.paper));
}

} // namespace

GdiGlyphSource::GdiGlyphSource() = default;
GdiGlyphSource::~GdiGlyphSource() = default;

void GdiGlyphSource::FontCreated() {
  ++liveFonts_;
}

void GdiGlyphSource::FontDestroyed() {
  if (liveFonts_ > 0 && --liveFonts_ == 0) {
    glyphCanvas_.reset();
    smallCanvas_.reset();
  }
}

bool GdiGlyphSource::HasSharedBitmaps() const {
  return glyphCanvas_ || smallCanvas_;
}

void GdiGlyphSource::DeleteFont(void* font) {
  if (font != nullptr) DeleteObject(static_cast<HFONT>(font));
}

DibBitmap* GdiGlyphSource::GlyphCanvas(int size) {
  size = std::max(size, kMinGlyphCanvas);
  bool fresh = false;
  if (!glyphCanvas_) {
    glyphCanvas_ = std::make_unique<DibBitmap>(size, size);
    fresh = true;
  } else if (glyphCanvas_->Width() < size || glyphCanvas_->Height() < size) {
    fresh = glyphCanvas_->Resize(std::max(glyphCanvas_->Width(), size),
                                 std::max(glyphCanvas_->Height(), size));
  }
  HDC dc = static_cast<HDC>(glyphCanvas_->DeviceContext());
  if (dc == nullptr || glyphCanvas_->Pixels() == nullptr) return nullptr;
  if (fresh) {
    SetTextColor(dc, RGB(255, 255, 255));
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, RGB(0, 0, 0));
  }
  return glyphCanvas_.get();
}

DibBitmap* GdiGlyphSource::SmallCanvas(int width, int height) {
  width = std::max(width, kMinSmallCanvas);
  height = std::max(height, kMinSmallCanvas);
  if (!smallCanvas_)
    smallCanvas_ = std::make_unique<DibBitmap>(width, height);
  else if (smallCanvas_->Width() < width || smallCanvas_->Height() < height)
    smallCanvas_->Resize(std::max(smallCanvas_->Width(), width),
                         std::max(smallCanvas_->Height(), height));
  if (smallCanvas_->DeviceContext() == nullptr || smallCanvas_->Pixels() == nullptr) return nullptr;
  return smallCanvas_.get();
}

int GdiGlyphSource::LineHeight(void* font) {
  DibBitmap* canvas = GlyphCanvas(kMinGlyphCanvas);
  if (canvas == nullptr || font == nullptr) return 0;
  HDC dc = static_cast<HDC>(canvas->DeviceContext());
  SelectedFont selected(dc, font);
  TEXTMETRICA metrics = {};
  if (!GetTextMetricsA(dc, &metrics)) return 0;
  return int(metrics.tmHeight);
}

bool GdiGlyphSource::RenderGlyph(void* font, std::uint32_t code, int lineHeight, int margin,
                                 GlyphImage* out) {
  DibBitmap* canvas = GlyphCanvas(2 * std::max(lineHeight, 1) + 8);
  if (canvas == nullptr || font == nullptr || code > 0xFFFF) return false;
  HDC dc = static_cast<HDC>(canvas->DeviceContext());
  SelectedFont selected(dc, font);

  const wchar_t character = wchar_t(code);
  RECT measured = {0, 0, 0, 0};
  DrawTextW(dc, &character, 1, &measured, DT_NOPREFIX | DT_CALCRECT | DT_SINGLELINE);
  const int advance = std::max(0, int(measured.right - measured.left));
  const int height = std::max(0, int(measured.bottom - measured.top));
  const int width = std::min(advance + 2 * margin, canvas->Width());
  const int boxHeight = std::min(height, canvas->Height());

  FillRectangle(canvas, 0, 0, width, boxHeight, 0xFF000000, 1.0f, kBlendCopy);
  RECT place = {margin, 0, margin + advance, height};
  DrawTextW(dc, &character, 1, &place, DT_NOPREFIX | DT_NOCLIP | DT_SINGLELINE);
  GdiFlush(); // the mask is read from the DIB's memory next

  out->bitmap = canvas;
  out->width = width;
  out->height = boxHeight;
  out->advance = advance;
  return true;
}

bool GdiGlyphSource::NativeDrawingAllowed() {
  return !IsRunningUnderWine();
}

int GdiGlyphSource::DrawNative(const NativeTextRequest& request) {
  if (request.font == nullptr || request.text == nullptr || request.rect == nullptr ||
      request.length < 0)
    return 0;
  const bool measureOnly = (request.format & DT_CALCRECT) != 0;
  if (request.dest == nullptr && !measureOnly) return 0;
  const GdiText text(request.text, request.length);
  Rect& rect = *request.rect;

  HDC destDc = request.dest != nullptr ? static_cast<HDC>(request.dest->DeviceContext()) : nullptr;
  if (destDc != nullptr) {
    SelectedFont selected(destDc, request.font);
    PrepareContext(destDc, request);
    RECT area = {rect.left, rect.top, rect.right, rect.bottom};
    const int height = text.Draw(destDc, &area, request.format);
    GdiFlush();
    if (measureOnly) rect = Rect{area.left, area.top, area.right, area.bottom};
    return height;
  }

  // No device context: measure and draw in the small shared DIB, over a copy
  // of the destination pixels, and blit the result back.
  DibBitmap* canvas = SmallCanvas(kMinSmallCanvas, kMinSmallCanvas);
  if (canvas == nullptr) return 0;
  RECT size = {0, 0, 0, 0};
  {
    HDC dc = static_cast<HDC>(canvas->DeviceContext());
    SelectedFont selected(dc, request.font);
    text.Draw(dc, &size, DT_CALCRECT | (request.format & ~kAlignmentBits & ~DT_CALCRECT));
  }
  const int textWidth = int(size.right - size.left), textHeight = int(size.bottom - size.top);
  if (measureOnly) {
    rect.right = rect.left + textWidth;
    rect.bottom = rect.top + textHeight;
    return textHeight;
  }

  const std::int64_t rectWidth = std::int64_t(rect.right) - rect.left;
  const std::int64_t rectHeight = std::int64_t(rect.bottom) - rect.top;
  std::int64_t x = rect.left, y = rect.top;
  if ((request.format & DT_CENTER) != 0)
    x += (rectWidth - textWidth) / 2;
  else if ((request.format & DT_RIGHT) != 0)
    x = std::int64_t(rect.right) - textWidth;
  if ((request.format & DT_VCENTER) != 0)
    y += (rectHeight - textHeight) / 2;
  else if ((request.format & DT_BOTTOM) != 0)
    y = std::int64_t(rect.bottom) - textHeight;

  std::int64_t left = x, top = y, right = x + textWidth, bottom = y + textHeight;
  if ((request.format & DT_NOCLIP) == 0) {
    left = std::max<std::int64_t>(left, rect.left);
    top = std::max<std::int64_t>(top, rect.top);
    right = std::min<std::int64_t>(right, rect.right);
    bottom = std::min<std::int64_t>(bottom, rect.bottom);
  }
  left = std::max<std::int64_t>(left, 0);
  top = std::max<std::int64_t>(top, 0);
  right = std::min<std::int64_t>(right, request.dest->Width());
  bottom = std::min<std::int64_t>(bottom, request.dest->Height());
  if (left >= right || top >= bottom) return 0;
  const int boxWidth = int(right - left), boxHeight = int(bottom - top);

  canvas = SmallCanvas(boxWidth, boxHeight);
  if (canvas == nullptr) return 0;
  BlitBitmap(canvas, request.dest, 0, 0, int(left), int(top), boxWidth, boxHeight, 1.0f,
             kBlendCopy);
  {
    HDC dc = static_cast<HDC>(canvas->DeviceContext());
    SelectedFont selected(dc, request.font);
    PrepareContext(dc, request);
    RECT area = {LONG(x - left), LONG(y - top), LONG(x - left + textWidth),
                 LONG(y - top + textHeight)};
    text.Draw(dc, &area, (request.format & ~kAlignmentBits) | DT_NOCLIP);
    GdiFlush();
  }
  BlitBitmap(request.dest, canvas, int(left), int(top), 0, 0, boxWidth, boxHeight, request.weight,
             kBlendCopy);
  return textHeight;
}

GlyphSource* DefaultGlyphSource() {
  // Never destroyed: fonts in caches that outlive static destruction order
  // may still report to it while the library unloads.
  static GdiGlyphSource* source = new GdiGlyphSource;
  return source;
}

} // namespace quorvane
