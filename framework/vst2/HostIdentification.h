// Recognising the host from the product text it reports, and converting the
// decimal version it reports into our packed form. Pure functions, callable
// from any thread; the plug-in binding stores their results once per
// instance.
#pragma once

#include "framework/HostKind.h"

#include <cstdint>

namespace quorvane {

// Longest product text examined, without the terminator.
static constexpr int kHostProductTextMax = 255;

// The kind whose key occurs first in the key order anywhere in `product`,
// compared without regard to ASCII case; HostKind::Unknown for null, empty or
// unmatched text.
HostKind HostKindFromProduct(const char* product);

// A host's decimal version (major * 10000 + minor * 100 + patch) packed as
// major << 16 | minor << 8 | patch, by plain integer arithmetic (so negative
// input packs to a negative number rather than failing).
int32_t PackDecimalVersion(int32_t decimal);

// Hosts that mishandle plug-ins with more than two channels per side: the
// binding disconnects inputs beyond the second for them.
bool HostNeedsStereoOnlyInputs(HostKind kind);

} // namespace quorvane
