#pragma once
// Counts calls of the global operator new in the test executable, to show
// that a piece of code allocates nothing.

#include <cstdint>

namespace quorvane {

std::uint64_t AllocationCount();

} // namespace quorvane
