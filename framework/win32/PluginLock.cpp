#include "framework/PluginLock.h"

#include <new>
#include <windows.h>

namespace quorvane {

static_assert(sizeof(CRITICAL_SECTION) <= PluginLock::kStorageSize, "lock storage too small");
static_assert(alignof(CRITICAL_SECTION) <= 16, "lock storage misaligned");

namespace {
CRITICAL_SECTION* Section(unsigned char* storage) {
  return std::launder(reinterpret_cast<CRITICAL_SECTION*>(storage));
}
} // namespace

PluginLock::PluginLock() {
  InitializeCriticalSection(new (storage) CRITICAL_SECTION);
}
PluginLock::~PluginLock() {
  DeleteCriticalSection(Section(storage));
}

void PluginLock::Acquire() {
  EnterCriticalSection(Section(storage));
}
void PluginLock::Release() {
  LeaveCriticalSection(Section(storage));
}
bool PluginLock::TryAcquire() {
  return TryEnterCriticalSection(Section(storage)) != 0;
}

} // namespace quorvane
