#include "effect/DebugTrace.h"

#include <windows.h>

namespace quorvane {

void PlatformTraceSink(const char* line) {
  OutputDebugStringA(line);
}

} // namespace quorvane
