#pragma once

// Texts exchanged with a VST 2.4 host. The interface's published limits are smaller than what
// hosts really pass, so these are the sizes (terminator included) we write for each request:
// enough for our texts, safe for every buffer hosts are known to hand over.

#include <cstddef>

namespace quorvane {

inline constexpr std::size_t kHostParamNameSize = 32;
inline constexpr std::size_t kHostParamLabelSize = 9;
inline constexpr std::size_t kHostParamDisplaySize = 25;
inline constexpr std::size_t kHostProgramNameSize = 25;
inline constexpr std::size_t kHostEffectNameSize = 33;
inline constexpr std::size_t kHostVendorTextSize = 65;
inline constexpr std::size_t kHostPinLabelSize = 64;
inline constexpr std::size_t kHostMidiKeyNameSize = 64;
// A text the host hands us (a program name, a typed value) is read up to this size.
inline constexpr std::size_t kHostInputTextSize = 256;

// Copies at most size - 1 characters of text (null reads as empty) into dest and always
// terminates it. Does nothing when dest is null or size is 0.
void CopyHostText(char* dest, const char* text, std::size_t size);

} // namespace quorvane
