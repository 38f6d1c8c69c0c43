#pragma once

// The fuzz targets' invariants. A broken one prints what broke and aborts, which libFuzzer
// records as a crash and saves with the input that caused it.

#include <cstddef>

namespace quorvane {

// Aborts with the printf-style message unless ok.
void FuzzRequire(bool ok, const char* format, ...) __attribute__((format(printf, 2, 3)));

// Reads every byte of [data, data + size) so that AddressSanitizer checks the whole range, and
// answers a sum the caller may ignore.
unsigned TouchBytes(const void* data, std::size_t size);

} // namespace quorvane
