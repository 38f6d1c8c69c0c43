#pragma once
// Where the editor's controls sit, in editor pixels (origin top left, y
// downwards). The layout places its controls here, tests find them here, and
// the image generator (tools/images) draws the background to match: it reads
// the `inline constexpr Point|Rect k...{...};` lines, so keep them one to a
// line, with plain numbers. Read-only data, any thread.

#include "raster/Rect.h"

#include <cstdint>

namespace quorvane::editor_geometry {

struct Point {
  std::int32_t x;
  std::int32_t y;
};

inline constexpr Point kEditorSize{507, 248};

// The maker's name plate: a link to its web page.
inline constexpr Rect kLink{114, 7, 306, 54};

// Filter section. Knobs are given by their pivots, the others by their top
// left corners (their size is their image's frame).
inline constexpr Point kFilterTypeButtons{100, 112};
inline constexpr Point kFilterFreqKnob{52, 174};
inline constexpr Point kFilterBandwidthKnob{108, 174};
inline constexpr Point kFilterMixKnob{164, 174};

// Envelope section.
inline constexpr Point kEnvResetButton{204, 87};
inline constexpr Point kEnvTargetMenu{271, 113};
inline constexpr Point kEnvAttackKnob{231, 174};
inline constexpr Point kEnvDecayKnob{287, 174};
inline constexpr Point kEnvSustainKnob{343, 174};
inline constexpr Point kEnvReleaseKnob{399, 174};
inline constexpr Point kEnvDepthKnob{455, 174};
inline constexpr Point kEnvDirectionButton{318, 112};
inline constexpr Rect kEnvVolCompensationSlider{373, 107, 443, 135};
inline constexpr Point kEnvCompensationSwitch{447, 109};
inline constexpr Rect kEnvelopeStrip{209, 213, 477, 215};

} // namespace quorvane::editor_geometry
