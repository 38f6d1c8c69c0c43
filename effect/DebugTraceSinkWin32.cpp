#include "DebugTrace.h"

#include <windows.h>

void PlatformTraceSink(const char* line) {
  OutputDebugStringA(line);
}
