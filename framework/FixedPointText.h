#pragma once
// Numbers printed for hosts and users, in fixed-point notation with a decimal
// point whatever C locale the host process has set: a host that switches to a
// decimal comma would otherwise get texts that the parameters' own parsing
// (always a point) reads back wrong. Not for the audio thread (it formats).

#include <cstddef>

namespace quorvane {

// Like snprintf(out, outSize, "%.*f", decimals, v) in the "C" locale: cut to
// outSize bytes and always terminated. Does nothing for a null or empty out.
void FormatFixedPoint(char* out, std::size_t outSize, int decimals, double v);

} // namespace quorvane
