// The audio path never allocates. Natively the test program replaces malloc, calloc and realloc
// (the dlopen'ed module's calls, operator new included, resolve to these) and counts the calls
// made while counting is on. Under a sanitizer or on Windows the allocator cannot be replaced
// this way and the test is skipped.

#include "PluginFixture.h"

#include <atomic>
#include <cstddef>
#include <vector>

#if !defined(_WIN32) && !defined(__SANITIZE_ADDRESS__)
#define QUORVANE_COUNTS_ALLOCATIONS 1

extern "C" void* __libc_malloc(std::size_t size);
extern "C" void* __libc_calloc(std::size_t count, std::size_t size);
extern "C" void* __libc_realloc(void* block, std::size_t size);

namespace {
std::atomic<bool> gCounting{false};
std::atomic<long> gAllocations{0};
} // namespace

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

TEST_F(QuorvaneModuleTest, TheAudioPathDoesNotAllocate) {
#if defined(QUORVANE_COUNTS_ALLOCATIONS)
  constexpr int32_t kAnnounced = 64, kPassed = 1000;
  StartProcessing(kAnnounced);
  Dispatch(effSetProgram, 0, 5);
  const std::vector<VstMidiEvent> notes = {MakeMidi(0, 0x90, 60, 100), MakeMidi(30, 0x80, 60, 0)};
  std::vector<VstMidiEvent> events = notes;
  struct {
    int32_t numEvents;
    intptr_t reserved;
    VstEvent* events[2];
  } list{2, 0, {reinterpret_cast<VstEvent*>(&events[0]), reinterpret_cast<VstEvent*>(&events[1])}};
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
  Dispatch(effProcessEvents, 0, 0, &list);
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
