#include "effect/DebugTrace.h"

namespace quorvane {

// No debugger channel exists here; a line nobody installed a sink for is dropped.
void PlatformTraceSink(const char*) {}

} // namespace quorvane
