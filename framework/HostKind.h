#pragma once

// Identifies the host the plug-in runs in, so host-specific adjustments can be made.

#include <cstdint>

using HostKind = int32_t;

inline constexpr HostKind kHostNotAsked = -1; // the host has not been asked yet
inline constexpr HostKind kHostUnknown = 0;   // asked, but not recognised
