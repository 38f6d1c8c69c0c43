#pragma once
// The per-pixel operators of the mode word. Each operator is its own small
// type so that the row loops are instantiated per operator and contain no
// dispatch. Arithmetic is on signed ints; "/ 256" truncates toward zero as
// the blending rules require (an arithmetic shift would round down instead).

#include "raster/BlendMode.h"

#include <cstdint>

namespace quorvane::internal {

// A source pixel split into channels. Fills use `a` for the weight itself,
// which may be 256, so channels are ints rather than bytes.
struct Channels {
  int b = 0;
  int g = 0;
  int r = 0;
  int a = 0;
};

inline Channels Split(std::uint32_t p) {
  return {int(p & 0xFF), int(p >> 8 & 0xFF), int(p >> 16 & 0xFF), int(p >> 24)};
}

inline std::uint32_t Join(int b, int g, int r, int a) {
  return std::uint32_t(b) | std::uint32_t(g) << 8 | std::uint32_t(r) << 16 | std::uint32_t(a) << 24;
}

inline int Clamp255(int v) {
  return v > 255 ? 255 : v;
}

// Weights outside 0..1 (and NaN) would push channels out of their byte.
inline int WeightToInt(float weight) {
  if (!(weight > 0.0f)) return 0;
  if (weight >= 1.0f) return 256;
  return int(weight * 256.0f);
}

inline std::uint32_t HalfMix(std::uint32_t a, std::uint32_t b) {
  return ((a >> 1) & 0x7F7F7F7Fu) + ((b >> 1) & 0x7F7F7F7Fu);
}

// d = s + (d - s) * (256 - w) / 256 on every channel, w in 1..256.
struct CopyPlain {
  static int Mix(int d, int s, int keep) { return s + (d - s) * keep / 256; }
  std::uint32_t operator()(std::uint32_t d, const Channels& s, int w) const {
    const Channels c = Split(d);
    const int keep = 256 - w;
    return Join(Mix(c.b, s.b, keep), Mix(c.g, s.g, keep), Mix(c.r, s.r, keep), Mix(c.a, s.a, keep));
  }
};

struct CopyAlpha {
  std::uint32_t operator()(std::uint32_t d, const Channels& s, int w) const {
    if (s.a == 0) return d;
    const Channels c = Split(d);
    if (w >= 256) {
      if (s.a == 255) return Join(s.b, s.g, s.r, 255);
      const int keep = 255 - s.a;
      return Join(CopyPlain::Mix(c.b, s.b, keep), CopyPlain::Mix(c.g, s.g, keep),
                  CopyPlain::Mix(c.r, s.r, keep), Clamp255(c.a + s.a));
    }
    const int l = w * (s.a + 1) / 256;
    const int keep = 256 - l;
    return Join(CopyPlain::Mix(c.b, s.b, keep), CopyPlain::Mix(c.g, s.g, keep),
                CopyPlain::Mix(c.r, s.r, keep), Clamp255(c.a + l));
  }
};

struct AddPlain {
  std::uint32_t operator()(std::uint32_t d, const Channels& s, int w) const {
    const Channels c = Split(d);
    return Join(Clamp255(c.b + s.b * w / 256), Clamp255(c.g + s.g * w / 256),
                Clamp255(c.r + s.r * w / 256), Clamp255(c.a + s.a * w / 256));
  }
};

struct AddAlpha {
  std::uint32_t operator()(std::uint32_t d, const Channels& s, int w) const {
    if (s.a == 0) return d;
    const int l = w * (s.a + 1) / 256;
    return AddPlain{}(d, s, l);
  }
};

struct DodgePlain {
  static int Dodge(int d, int s, int w) {
    const int k = s * w / 256;
    return Clamp255(k > 254 ? d * 256 : d * 256 / (256 - k));
  }
  std::uint32_t operator()(std::uint32_t d, const Channels& s, int w) const {
    const Channels c = Split(d);
    return Join(Dodge(c.b, s.b, w), Dodge(c.g, s.g, w), Dodge(c.r, s.r, w), Dodge(c.a, s.a, w));
  }
};

struct DodgeAlpha {
  std::uint32_t operator()(std::uint32_t d, const Channels& s, int w) const {
    if (s.a == 0) return d;
    return DodgePlain{}(d, s, w * (s.a + 1) / 256);
  }
};

// Calls fn with the operator selected by the mode's operator and source-alpha
// bits; returns false for operators this library does not draw.
template <class Fn> bool WithOperator(BlendMode mode, Fn&& fn) {
  switch (mode & (kBlendOperatorMask | kBlendSourceAlpha)) {
  case kBlendCopy:
    fn(CopyPlain{});
    return true;
  case kBlendCopy | kBlendSourceAlpha:
    fn(CopyAlpha{});
    return true;
  case kBlendAdd:
    fn(AddPlain{});
    return true;
  case kBlendAdd | kBlendSourceAlpha:
    fn(AddAlpha{});
    return true;
  case kBlendDodge:
    fn(DodgePlain{});
    return true;
  case kBlendDodge | kBlendSourceAlpha:
    fn(DodgeAlpha{});
    return true;
  default:
    return false;
  }
}

} // namespace quorvane::internal
