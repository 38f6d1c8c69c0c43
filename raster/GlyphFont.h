#pragma once
// Draws UTF-8 text onto a RasterBitmap with one font. Two ways: natively
// (the platform draws into the bitmap's device context) for opaque text on
// Windows, or from a cache of glyph masks that the font renders once per
// character and blends itself - translucent text, styled masks, and all text
// under Wine. The editor surface keeps one GlyphFont per distinct text style.
// Editor window thread only.

#include "raster/BlendMode.h"
#include "raster/GlyphRecord.h"
#include "raster/GlyphSource.h"
#include "raster/Rect.h"

#include <cstdint>
#include <vector>

namespace quorvane {

class RasterBitmap;

class GlyphFont {
public:
  // Font flags (AdoptFontHandle).
  static constexpr int kVertical = 0x1;   // glyphs turned by 90 degrees, text runs down
  static constexpr int kVerticalUp = 0x2; // with kVertical: turned the other way, runs up
  static constexpr int kAsciiOnly = 0x4;  // render codes 0-127 up front, never others
  static constexpr int kBlurMasks = 0x10;
  static constexpr int kInvertMasks = 0x20;
  static constexpr int kMonochrome = 0x40; // coverage above 130 is full, the rest empty
  static constexpr int kOutlineUpLeft = 0x80;
  static constexpr int kOutlineAround = 0x100;
  static constexpr int kOwnsHandle = 0x200; // the font deletes its handle
  static constexpr int kNativeAllowed = 0x400;
  static constexpr int kMaskStyleFlags = 0x1F3;

  // Format bits of RenderTextInRect (where they coincide, the platform's).
  static constexpr std::uint32_t kCentre = 0x1;
  static constexpr std::uint32_t kRight = 0x2;
  static constexpr std::uint32_t kVCentre = 0x4;
  static constexpr std::uint32_t kBottom = 0x8;
  static constexpr std::uint32_t kSingleLine = 0x20;
  static constexpr std::uint32_t kNoClip = 0x100;
  static constexpr std::uint32_t kMeasureOnly = 0x400;
  static constexpr std::uint32_t kBlendTextAlpha = 0x40000000;
  static constexpr std::uint32_t kForceCache = 0x80000000;

  static constexpr int kPaperTransparent = 1;
  static constexpr int kPaperOpaque = 2;

  // Fonts above this line height are not cached (drawn natively instead).
  static constexpr int kMaxCachedLineHeight = 1023;
  static constexpr int kMaxNativeOnlyLineHeight = 255;

  explicit GlyphFont(GlyphSource* source = DefaultGlyphSource());
  GlyphFont(const GlyphFont&) = delete;
  GlyphFont& operator=(const GlyphFont&) = delete;
  virtual ~GlyphFont();

  // Attaches a platform font (an HFONT on Windows) and empties the cache.
  virtual void AdoptFontHandle(void* handle, int flags);
  virtual std::uint32_t SetInkColour(std::uint32_t colour);
  virtual std::uint32_t SetPaperColour(std::uint32_t colour);
  virtual std::uint32_t SetFxColour(std::uint32_t colour);
  virtual int SetPaperMode(int mode);
  virtual void SetBlendMode(BlendMode mode, float weight);
  // Draws `length` bytes of text (-1: up to the terminator) into rect. With
  // kMeasureOnly, rect's right and bottom receive the text's extent instead.
  // Returns the height drawn (the width for vertical fonts), 0 for nothing.
  virtual int RenderTextInRect(RasterBitmap* dest, const char* text, int length, Rect* rect,
                               std::uint32_t format);
  virtual std::uint32_t InkColour() const;
  virtual void* FontHandle() const;
  virtual int LineHeight() const;
  // Draws one cached character with its pen position at (x, y), clipped.
  virtual bool PaintGlyph(RasterBitmap* dest, std::uint32_t code, int x, int y, const Rect& clip);

  void SetExtraLineSpacing(int pixels) { extraLineSpacing_ = pixels; }
  // The cached record of a character, rendering it on first use; null when
  // the font cannot have it.
  const GlyphRecord* Glyph(std::uint32_t code);

private:
  struct Extent {
    std::int64_t along = 0;  // widest line, in the direction the text runs
    std::int64_t across = 0; // all lines
  };

  GlyphRecord* FindOrAdd(std::uint32_t code);
  void Render(GlyphRecord* record, std::uint32_t code);
  bool UseNativePath(std::uint32_t format, bool forceCache);
  Extent Measure(const char* text, int length, std::uint32_t format);
  int DrawCached(RasterBitmap* dest, const char* text, int length, const Rect& rect,
                 std::uint32_t format);
  std::int64_t LineStep() const;
  bool IsVertical() const { return (flags_ & kVertical) != 0; }

  std::uint32_t ink_ = 0;
  std::uint32_t paper_ = 0xFFFFFFFFu;
  std::uint32_t fx_ = 0xFFFFFFFFu;
  int paperMode_ = kPaperTransparent;
  BlendMode combineMode_ = kBlendCopy;
  float combineWeight_ = 1.0f;
  int flags_ = 0;
  int lineHeight_ = 0;
  int extraLineSpacing_ = 0;
  GlyphRecord ascii_[128] = {};
  std::vector<GlyphRecord> others_; // sorted by code
  std::vector<std::uint8_t> masks_;
  void* handle_ = nullptr;
  GlyphSource* source_;
};

} // namespace quorvane
