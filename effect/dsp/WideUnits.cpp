#include "effect/dsp/WideUnits.h"

#include <atomic>

namespace quorvane {
namespace {

bool Ask() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx");
}
// Asked as the module loads, never on the audio thread.
const bool present = Ask();
std::atomic<bool> allowed{true};

} // namespace

bool WideUnitsPresent() noexcept {
  return present && allowed.load(std::memory_order_relaxed);
}

void AllowWideUnits(bool allow) noexcept {
  allowed.store(allow, std::memory_order_relaxed);
}

} // namespace quorvane
