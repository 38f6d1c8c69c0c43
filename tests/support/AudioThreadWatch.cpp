#include "tests/support/AudioThreadWatch.h"

#include <atomic>
#include <cstddef>

#if !defined(_WIN32)
#include <dlfcn.h>
#include <pthread.h>
#endif

#if !defined(_WIN32) && !defined(__SANITIZE_ADDRESS__)
#define QUORVANE_COUNTS_ALLOCATIONS 1
// Exported from the test program, so that a dlopen'ed module's calls reach them too.
#define QUORVANE_INTERPOSE __attribute__((visibility("default")))

extern "C" void* __libc_malloc(std::size_t size);
extern "C" void* __libc_calloc(std::size_t count, std::size_t size);
extern "C" void* __libc_realloc(void* block, std::size_t size);
#endif

namespace {

std::atomic<bool> gCounting{false};
std::atomic<long> gAllocations{0};
std::atomic<int> gMutexCount{0};

} // namespace

#if defined(QUORVANE_COUNTS_ALLOCATIONS)
namespace {

constexpr int kMaxMutexes = 8;
std::atomic<void*> gMutexes[kMaxMutexes];

void NoteMutex(void* mutex) {
  if (!gCounting.load(std::memory_order_relaxed)) return;
  const int known = gMutexCount.load();
  for (int i = 0; i < known && i < kMaxMutexes; ++i)
    if (gMutexes[i].load() == mutex) return;
  const int slot = gMutexCount++;
  if (slot < kMaxMutexes) gMutexes[slot] = mutex;
}

using LockFunction = int (*)(pthread_mutex_t*);
LockFunction RealLock(const char* name) {
  return reinterpret_cast<LockFunction>(dlsym(RTLD_NEXT, name));
}
// Resolved before any test runs, so no lookup happens while counting.
const LockFunction gRealLock = RealLock("pthread_mutex_lock");
const LockFunction gRealTryLock = RealLock("pthread_mutex_trylock");

} // namespace

extern "C" QUORVANE_INTERPOSE int pthread_mutex_lock(pthread_mutex_t* mutex) {
  NoteMutex(mutex);
  return gRealLock(mutex);
}

extern "C" QUORVANE_INTERPOSE int pthread_mutex_trylock(pthread_mutex_t* mutex) {
  NoteMutex(mutex);
  return gRealTryLock(mutex);
}

extern "C" QUORVANE_INTERPOSE void* malloc(std::size_t size) {
  if (gCounting.load(std::memory_order_relaxed)) ++gAllocations;
  return __libc_malloc(size);
}

extern "C" QUORVANE_INTERPOSE void* calloc(std::size_t count, std::size_t size) {
  if (gCounting.load(std::memory_order_relaxed)) ++gAllocations;
  return __libc_calloc(count, size);
}

extern "C" QUORVANE_INTERPOSE void* realloc(void* block, std::size_t size) {
  if (gCounting.load(std::memory_order_relaxed)) ++gAllocations;
  return __libc_realloc(block, size);
}
#endif

bool AudioThreadWatch::Available() {
#if defined(QUORVANE_COUNTS_ALLOCATIONS)
  return true;
#else
  return false;
#endif
}

void AudioThreadWatch::Start() {
  gAllocations = 0;
  gMutexCount = 0;
  gCounting = true;
}

void AudioThreadWatch::Stop() {
  gCounting = false;
}

long AudioThreadWatch::Allocations() {
  return gAllocations.load();
}

int AudioThreadWatch::Mutexes() {
  return gMutexCount.load();
}
