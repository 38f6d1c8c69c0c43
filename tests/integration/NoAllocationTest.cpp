// The audio path never allocates and takes no lock but the plug-in lock. Natively the test
// program replaces malloc, calloc, realloc and pthread_mutex_lock/trylock (the dlopen'ed
// module's calls, operator new included, resolve to these) and counts the calls made while
// counting is on. Under a sanitizer or on Windows they cannot be replaced this way and the tests
// are skipped.

#include "tests/integration/PluginFixture.h"

#include <atomic>
#include <cstddef>
#include <vector>

#if !defined(_WIN32)
#include <dlfcn.h>
#include <pthread.h>
#endif

#if !defined(_WIN32) && !defined(__SANITIZE_ADDRESS__)
#define QUORVANE_COUNTS_ALLOCATIONS 1

extern "C" void* __libc_malloc(std::size_t size);
extern "C" void* __libc_calloc(std::size_t count, std::size_t size);
extern "C" void* __libc_realloc(void* block, std::size_t size);

namespace {
std::atomic<bool> gCounting{false};
std::atomic<long> gAllocations{0};

// The distinct mutexes locked while counting; more than fit counts as a failure too.
constexpr int kMaxMutexes = 8;
std::atomic<void*> gMutexes[kMaxMutexes];
std::atomic<int> gMutexCount{0};

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

extern "C" int pthread_mutex_lock(pthread_mutex_t* mutex) {
  NoteMutex(mutex);
  return gRealLock(mutex);
}

extern "C" int pthread_mutex_trylock(pthread_mutex_t* mutex) {
  NoteMutex(mutex);
  return gRealTryLock(mutex);
}

extern "C" void* malloc(std::size_t size) {
  if (gCounting.load(std::memory_order_relaxed)) ++gAllocations;
  return __libc_malloc(size);
}

extern "C" void* calloc(std::size_t count, std::size_t size) {
  if (gCounting.load(std::memory_order_relaxed)) ++gAllocations;
  return __libc_calloc(count, size);
}

extern "C" void* realloc(void* block, std::size_t size) {
  if (gCounting.load(std::memory_order_relaxed)) ++gAllocations;
  return __libc_realloc(block, size);
}
#endif

namespace quorvane {

TEST_F(QuorvaneModuleTest, TheAudioPathDoesNotAllocate) {
#if defined(QUORVANE_COUNTS_ALLOCATIONS)
  constexpr int32_t kAnnounced = 64, kPassed = 1000;
  StartProcessing(kAnnounced);
  Dispatch(effSetProgram, 0, 5);
  VstEventList list{MakeMidi(0, 0x90, 60, 100), MakeMidi(30, 0x80, 60, 0)};
  // The recording host must not allocate either while counting.
  host.calls.reserve(1000);
  host.midiReceived.reserve(100);
  host.eventListSizes.reserve(100);
  std::vector<float> in(kPassed, 0.1f), out0(kPassed), out1(kPassed);
  std::vector<double> din(kPassed, 0.1), dout0(kPassed), dout1(kPassed);
  float* ins[] = {in.data(), in.data()};
  float* outs[] = {out0.data(), out1.data()};
  double* dins[] = {din.data(), din.data()};
  double* douts[] = {dout0.data(), dout1.data()};

  gAllocations = 0;
  gCounting = true;
  Dispatch(effProcessEvents, 0, 0, list.Get());
  effect->processReplacing(effect, ins, outs, kPassed);
  effect->process(effect, ins, outs, kPassed);
  effect->processDoubleReplacing(effect, dins, douts, kPassed);
  effect->setParameter(effect, 1, 0.7f);
  (void)effect->getParameter(effect, 1);
  gCounting = false;
  EXPECT_EQ(gAllocations.load(), 0);
  EXPECT_EQ(host.midiReceived.size(), 2u);
#else
  GTEST_SKIP() << "the allocator cannot be replaced in this build";
#endif
}

// Thousands of blocks through all three callbacks, the envelope driving every target in turn,
// notes arriving and every parameter changing between blocks.
TEST_F(QuorvaneModuleTest, TheAudioPathNeverAllocatesOrTakesAnotherLock) {
#if defined(QUORVANE_COUNTS_ALLOCATIONS)
  constexpr int32_t kFrames = 64;
  constexpr int kBlocks = 6000;
  StartProcessing(kFrames);
  Dispatch(effSetProgram, 0, 4);
  VstEventList list{MakeMidi(0, 0x90, 60, 100), MakeMidi(40, 0x80, 60, 0),
                    MakeMidi(10, 0xB0, 1, 64)};
  host.calls.reserve(4 * kBlocks + 1000);
  host.midiReceived.reserve(4 * kBlocks);
  host.eventListSizes.reserve(4 * kBlocks);
  std::vector<float> in(kFrames), out0(kFrames), out1(kFrames);
  std::vector<double> din(kFrames), dout0(kFrames), dout1(kFrames);
  for (int32_t i = 0; i < kFrames; ++i) {
    in[i] = (i % 16 < 8) ? 0.8f : -0.8f;
    din[i] = in[i];
  }
  float* ins[] = {in.data(), in.data()};
  float* outs[] = {out0.data(), out1.data()};
  double* dins[] = {din.data(), din.data()};
  double* douts[] = {dout0.data(), dout1.data()};

  gAllocations = 0;
  gMutexCount = 0;
  gCounting = true;
  for (int block = 0; block < kBlocks; ++block) {
    // Each target for a stretch of blocks, with short envelope times so every stage runs.
    if (block % 500 == 0) {
      effect->setParameter(effect, 4, static_cast<float>((block / 500) % 4) / 3.0f);
      effect->setParameter(effect, 5, 0.01f);
      effect->setParameter(effect, 6, 0.01f);
      effect->setParameter(effect, 8, 0.01f);
    }
    if (block % 8 == 0) Dispatch(effProcessEvents, 0, 0, list.Get());
    const int32_t param = block % kParamCount;
    if (param != 4 && param != 5 && param != 6 && param != 8)
      effect->setParameter(effect, param, static_cast<float>(block % 101) / 100.0f);
    switch (block % 3) {
    case 0:
      effect->processReplacing(effect, ins, outs, kFrames);
      break;
    case 1:
      effect->process(effect, ins, outs, kFrames);
      break;
    default:
      effect->processDoubleReplacing(effect, dins, douts, kFrames);
      break;
    }
  }
  gCounting = false;
  EXPECT_EQ(gAllocations.load(), 0);
  // The plug-in lock, and nothing else.
  EXPECT_EQ(gMutexCount.load(), 1);
  EXPECT_GT(host.midiReceived.size(), 0u);
#else
  GTEST_SKIP() << "the allocator cannot be replaced in this build";
#endif
}

} // namespace quorvane
