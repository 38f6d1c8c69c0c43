// Recognising the host from the product text it reports, and converting the
// decimal version it reports into our packed form. Pure functions, callable
// from any thread; the plug-in binding stores their results once per
// instance.
#pragma once

#include "HostKind.h"

#include <cstdint>

// The hosts that get special treatment, by the number stored as the
// plug-in's host kind. The numbers are fixed: other parts compare with them.
inline constexpr HostKind kHostReaper = 1;
inline constexpr HostKind kHostCubase = 3;
inline constexpr HostKind kHostNuendo = 4;
inline constexpr HostKind kHostCakewalk = 5;
inline constexpr HostKind kHostFruity = 7;
inline constexpr HostKind kHostSamplitude = 8;
inline constexpr HostKind kHostLive = 9;
inline constexpr HostKind kHostMelodyne = 12;
inline constexpr HostKind kHostVstManLib = 13;
inline constexpr HostKind kHostAulab = 14;
inline constexpr HostKind kHostForte = 15;
inline constexpr HostKind kHostChainer = 16;
inline constexpr HostKind kHostAudition = 17;
inline constexpr HostKind kHostOrion = 18;
inline constexpr HostKind kHostSawStudio = 20;
inline constexpr HostKind kHostLogic = 21;
inline constexpr HostKind kHostDigital = 22;
inline constexpr HostKind kHostAudioMulch = 23;
inline constexpr HostKind kHostPresonus = 24;
inline constexpr HostKind kHostAcoustica = 25;
inline constexpr HostKind kHostGarageBand = 26;
inline constexpr HostKind kHostArdour = 27;

// Longest product text examined, without the terminator.
static constexpr int kHostProductTextMax = 255;

// The kind whose key occurs first in the key order anywhere in `product`,
// compared without regard to ASCII case; kHostUnknown for null, empty or
// unmatched text.
HostKind HostKindFromProduct(const char* product);

// A host's decimal version (major * 10000 + minor * 100 + patch) packed as
// major << 16 | minor << 8 | patch, by plain integer arithmetic (so negative
// input packs to a negative number rather than failing).
int32_t PackDecimalVersion(int32_t decimal);

// Hosts that mishandle plug-ins with more than two channels per side: the
// binding disconnects inputs beyond the second for them.
bool HostNeedsStereoOnlyInputs(HostKind kind);
