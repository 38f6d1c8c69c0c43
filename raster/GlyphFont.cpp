#include "raster/GlyphFont.h"

#include "raster/FillRectangle.h"
#include "raster/Utf8Decode.h"
#include "raster/internal/GlyphMask.h"
#include "raster/internal/PixelOperators.h"
#include "raster/internal/PixelView.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <utility>

namespace quorvane {
namespace {

constexpr std::uint32_t kCarriageReturn = '\r';
constexpr std::uint32_t kLineFeed = '\n';
constexpr std::uint32_t kSpace = ' ';
constexpr std::uint32_t kMaxCode = 0xFFFF;
// Pen positions are kept far inside int so that adding a glyph's size to
// them cannot overflow; anything this far out is clipped away anyway.
constexpr std::int64_t kPenLimit = std::int64_t(1) << 30;

int ToInt(std::int64_t v) {
  return int(std::clamp<std::int64_t>(v, -kPenLimit, kPenLimit));
}

Rect Intersect(const Rect& a, const Rect& b) {
  return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
          std::min(a.bottom, b.bottom)};
}

bool IsEmpty(const Rect& r) {
  return r.left >= r.right || r.top >= r.bottom;
}

// Walks the text character by character; CR is dropped and, with
// single-line set, LF reads as a space.
template <class Fn> void ForEachChar(const char* text, int length, std::uint32_t format, Fn&& fn) {
  int i = 0;
  while (i < length) {
    const Utf8Char c = Utf8Decode(text + i, length - i);
    i += c.length;
    if (c.code == kCarriageReturn) continue;
    if (c.code == kLineFeed && (format & GlyphFont::kSingleLine) != 0)
      fn(kSpace);
    else
      fn(c.code);
  }
}

} // namespace

GlyphFont::GlyphFont(GlyphSource* source)
    : source_(source != nullptr ? source : DefaultGlyphSource()) {
  source_->FontCreated();
}

GlyphFont::~GlyphFont() {
  if ((flags_ & kOwnsHandle) != 0 && handle_ != nullptr) source_->DeleteFont(handle_);
  source_->FontDestroyed();
}

void GlyphFont::AdoptFontHandle(void* handle, int flags) {
  if ((flags_ & kOwnsHandle) != 0 && handle_ != nullptr && handle != handle_)
    source_->DeleteFont(handle_);
  flags_ = flags;
  handle_ = handle;
  lineHeight_ = handle != nullptr ? std::max(source_->LineHeight(handle), 0) : 0;

  std::fill(std::begin(ascii_), std::end(ascii_), GlyphRecord{});
  others_.clear();
  masks_.clear();
  if ((flags & kAsciiOnly) != 0 && handle != nullptr)
    for (std::uint32_t code = 0; code < 128; ++code)
      Glyph(code);
}

std::uint32_t GlyphFont::SetInkColour(std::uint32_t colour) {
  return std::exchange(ink_, colour);
}
std::uint32_t GlyphFont::SetPaperColour(std::uint32_t colour) {
  return std::exchange(paper_, colour);
}
std::uint32_t GlyphFont::SetFxColour(std::uint32_t colour) {
  return std::exchange(fx_, colour);
}
int GlyphFont::SetPaperMode(int mode) {
  return std::exchange(paperMode_, mode);
}

void GlyphFont::SetBlendMode(BlendMode mode, float weight) {
  combineMode_ = mode;
  combineWeight_ = weight;
}

std::uint32_t GlyphFont::InkColour() const {
  return ink_;
}
void* GlyphFont::FontHandle() const {
  return handle_;
}
int GlyphFont::LineHeight() const {
  return lineHeight_;
}

GlyphRecord* GlyphFont::FindOrAdd(std::uint32_t code) {
  if (code < 128) return &ascii_[code];
  auto it = std::lower_bound(others_.begin(), others_.end(), code,
                             [](const GlyphRecord& r, std::uint32_t c) { return r.code < c; });
  if (it != others_.end() && it->code == code) return &*it;
  if ((flags_ & kAsciiOnly) != 0) return nullptr;
  GlyphRecord fresh;
  fresh.code = std::uint16_t(code);
  return &*others_.insert(it, fresh);
}

const GlyphRecord* GlyphFont::Glyph(std::uint32_t code) {
  if (code > kMaxCode || handle_ == nullptr || lineHeight_ > kMaxCachedLineHeight) return nullptr;
  GlyphRecord* record = FindOrAdd(code);
  if (record != nullptr && record->maskOffset == GlyphRecord::kNotRendered) Render(record, code);
  return record;
}

void GlyphFont::Render(GlyphRecord* record, std::uint32_t code) {
  record->code = std::uint16_t(code);
  const int margin = (lineHeight_ >= 16 ? lineHeight_ / 16 : 0) + 2;
  GlyphImage image;
  if (!source_->RenderGlyph(handle_, code, lineHeight_, margin, &image)) {
    // Recorded as blank so that a character the platform cannot draw is not
    // asked for again on every frame.
    record->maskOffset = GlyphRecord::kNoPixels;
    record->advance = 0;
    return;
  }
  internal::MaskStyle style;
  if ((flags_ & kVertical) != 0)
    style.turn = (flags_ & kVerticalUp) != 0 ? internal::MaskStyle::Turn::CounterClockwise
                                             : internal::MaskStyle::Turn::Clockwise;
  style.blur = (flags_ & kBlurMasks) != 0;
  style.invert = (flags_ & kInvertMasks) != 0;
  style.monochrome = (flags_ & kMonochrome) != 0;
  style.outlineUpLeft = (flags_ & kOutlineUpLeft) != 0;
  style.outlineAround = (flags_ & kOutlineAround) != 0;
  internal::AppendGlyphMask(image, margin, style, &masks_, record);
}

bool GlyphFont::UseNativePath(std::uint32_t format, bool forceCache) {
  if (lineHeight_ > kMaxNativeOnlyLineHeight) return true;
  return (flags_ & kNativeAllowed) != 0 && handle_ != nullptr && !forceCache &&
         (format & kBlendTextAlpha) == 0 && (flags_ & (kAsciiOnly | kMaskStyleFlags)) == 0 &&
         (extraLineSpacing_ == 0 || (format & kSingleLine) != 0) && source_->NativeDrawingAllowed();
}

std::int64_t GlyphFont::LineStep() const {
  return std::int64_t(lineHeight_) + extraLineSpacing_;
}

GlyphFont::Extent GlyphFont::Measure(const char* text, int length, std::uint32_t format) {
  std::int64_t pen = 0, widest = 0, lines = 1;
  ForEachChar(text, length, format, [&](std::uint32_t code) {
    if (code == kLineFeed) {
      ++lines;
      pen = 0;
      return;
    }
    if (const GlyphRecord* glyph = Glyph(code)) pen += glyph->advance;
    widest = std::max(widest, pen);
  });
  return {widest, (lines - 1) * LineStep() + lineHeight_};
}

int GlyphFont::RenderTextInRect(RasterBitmap* dest, const char* text, int length, Rect* rect,
                                std::uint32_t format) {
  const bool measureOnly = (format & kMeasureOnly) != 0;
  if (text == nullptr || rect == nullptr || (dest == nullptr && !measureOnly)) return 0;
  const bool forceCache = (format & kForceCache) != 0;
  format &= ~kForceCache;
  if (length < 0) length = int(std::min<std::size_t>(std::strlen(text), INT_MAX));
  // At no weight nothing is drawn, on either path: the system's text drawing
  // knows no weight and would draw in full.
  if (!measureOnly && internal::WeightToInt(combineWeight_) == 0) return 0;

  if (UseNativePath(format, forceCache)) {
    NativeTextRequest request;
    request.font = handle_;
    request.dest = dest;
    request.text = text;
    request.length = length;
    request.rect = rect;
    request.format = format & ~kBlendTextAlpha;
    request.ink = ink_;
    request.paper = paper_;
    request.paperMode = paperMode_;
    request.weight = combineWeight_;
    return source_->DrawNative(request);
  }

  if (measureOnly) {
    const Extent e = Measure(text, length, format);
    const std::int64_t width = IsVertical() ? e.across : e.along;
    const std::int64_t height = IsVertical() ? e.along : e.across;
    rect->right = ToInt(rect->left + width);
    rect->bottom = ToInt(rect->top + height);
    return ToInt(e.across);
  }
  return DrawCached(dest, text, length, *rect, format);
}

int GlyphFont::DrawCached(RasterBitmap* dest, const char* text, int length, const Rect& rect,
                          std::uint32_t format) {
  float weight = combineWeight_;
  if ((format & kBlendTextAlpha) != 0) weight *= float(ink_ >> 24) * 0.00392156862745098f;
  if (internal::WeightToInt(weight) == 0) return 0;

  const internal::PixelView view = internal::ViewOf(dest);
  if (view.Empty()) return 0;
  const Rect bounds{0, 0, view.width, view.height};
  const Rect clip = (format & kNoClip) != 0 ? bounds : Intersect(rect, bounds);
  if (IsEmpty(clip)) return 0;

  const bool vertical = IsVertical();
  const bool upward = vertical && (flags_ & kVerticalUp) != 0;
  std::int64_t startX = rect.left, startY = rect.top;
  if ((format & (kCentre | kRight | kVCentre | kBottom)) != 0 || upward) {
    const Extent e = Measure(text, length, format);
    const std::int64_t textWidth = vertical ? e.across : e.along;
    const std::int64_t textHeight = vertical ? e.along : e.across;
    const std::int64_t rectWidth = std::int64_t(rect.right) - rect.left;
    const std::int64_t rectHeight = std::int64_t(rect.bottom) - rect.top;
    if ((format & kCentre) != 0)
      startX += (rectWidth - textWidth) / 2;
    else if ((format & kRight) != 0)
      startX = rect.right - textWidth;
    if ((format & kVCentre) != 0)
      startY += (rectHeight - textHeight) / 2;
    else if ((format & kBottom) != 0)
      startY = rect.bottom - textHeight;
    // Upward text starts at the bottom of its extent.
    if (upward) startY += textHeight;
  }

  const float savedWeight = combineWeight_;
  combineWeight_ = weight;
  std::int64_t lineX = startX, lineY = startY, penX = startX, penY = startY, lines = 1;
  ForEachChar(text, length, format, [&](std::uint32_t code) {
    if (code == kLineFeed) {
      ++lines;
      if (vertical) {
        lineX += LineStep();
      } else {
        lineY += LineStep();
      }
      penX = lineX;
      penY = lineY;
      return;
    }
    const GlyphRecord* glyph = Glyph(code);
    if (glyph == nullptr) return;
    const int advance = glyph->advance;
    if (upward) penY -= advance;
    PaintGlyph(dest, code, ToInt(penX), ToInt(penY), clip);
    if (!vertical)
      penX += advance;
    else if (!upward)
      penY += advance;
  });
  combineWeight_ = savedWeight;
  return ToInt((lines - 1) * LineStep() + lineHeight_);
}

bool GlyphFont::PaintGlyph(RasterBitmap* dest, std::uint32_t code, int x, int y, const Rect& clip) {
  const GlyphRecord* glyph = Glyph(code);
  if (glyph == nullptr || !glyph->HasPixels()) return false;
  const internal::PixelView view = internal::ViewOf(dest);
  if (view.Empty()) return false;

  std::int64_t left = x, top = y;
  if (IsVertical())
    top -= glyph->bearing;
  else
    left -= glyph->bearing;
  const Rect bounds{0, 0, view.width, view.height};
  const Rect box{ToInt(left), ToInt(top), ToInt(left + glyph->width), ToInt(top + glyph->height)};
  const Rect area = Intersect(Intersect(box, clip), bounds);
  if (IsEmpty(area)) return false;

  if (paperMode_ == kPaperOpaque)
    FillRectangle(dest, area.left, area.top, area.right - area.left, area.bottom - area.top, paper_,
                  combineWeight_, combineMode_ & ~kBlendSourceAlpha);

  const int w = std::min(internal::WeightToInt(combineWeight_), 256);
  const std::uint8_t* mask = masks_.data() + (glyph->maskOffset - 1);
  auto maskAt = [&](int px, int py) {
    return mask[std::size_t(py - box.top) * std::size_t(glyph->width) + std::size_t(px - box.left)];
  };
  const BlendMode op = combineMode_ & kBlendOperatorMask;

  const bool solidMask = (flags_ & (kMonochrome | kOutlineUpLeft | kOutlineAround)) != 0;
  if (solidMask && op == kBlendCopy && w == 256) {
    for (int py = area.top; py < area.bottom; ++py) {
      std::uint32_t* row = view.Row(py);
      for (int px = area.left; px < area.right; ++px) {
        const std::uint8_t v = maskAt(px, py);
        if (v == 255)
          row[px] = ink_;
        else if (v != 0)
          row[px] = fx_;
      }
    }
    return true;
  }

  internal::Channels source = internal::Split(ink_);
  source.a = 255;
  internal::WithOperator(op, [&](auto blend) {
    for (int py = area.top; py < area.bottom; ++py) {
      std::uint32_t* row = view.Row(py);
      for (int px = area.left; px < area.right; ++px) {
        const int v = maskAt(px, py);
        if (v == 0) continue;
        const int pixelWeight = w == 256 ? v + 1 : std::min(256, w * v / 256);
        row[px] = blend(row[px], source, pixelWeight);
      }
    }
  });
  return true;
}

} // namespace quorvane
