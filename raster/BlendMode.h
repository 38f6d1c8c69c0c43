#pragma once
// The mode word of every drawing call: operator in bits 0-7, sampling of
// rotated blits in bits 8-15, blending through the source alpha in bit 16.
// Each drawing call also takes a float weight (opacity 0..1), used as
// (int)(weight * 256).

#include <cstdint>

namespace quorvane {

using BlendMode = std::uint32_t;

inline constexpr BlendMode kBlendCopy = 0x0;
inline constexpr BlendMode kBlendAdd = 0x1;
inline constexpr BlendMode kBlendDodge = 0x2;
inline constexpr BlendMode kBlendOperatorMask = 0xFF;

inline constexpr BlendMode kBlendBilinear = 0x100; // exactly this value in bits 8-15
inline constexpr BlendMode kBlendFilterMask = 0xFF00;

inline constexpr BlendMode kBlendSourceAlpha = 0x10000;

} // namespace quorvane
