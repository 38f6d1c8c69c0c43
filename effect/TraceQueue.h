#pragma once
// Trace lines made during an audio call wait here for the user-interface
// thread, which writes them out. A bounded queue of whole lines, safe for
// several writers and readers at once (two effects on two audio threads):
// nobody waits, nothing is allocated, a line that finds the queue full is
// counted instead of stored.

#include "effect/DebugTrace.h"

#include <atomic>
#include <cstddef>
#include <cstdint>

namespace quorvane {

class TraceQueue {
public:
  static constexpr std::size_t kLines = 64;

  TraceQueue() noexcept;
  // Copies line in (cut to kTraceLineCapacity); false, and counted, when full.
  bool Push(const char* line) noexcept;
  // Takes the oldest line into out; false when none waits.
  bool Pop(char (&out)[kTraceLineCapacity]) noexcept;
  // Answers the lines lost since the last call, and starts counting anew.
  uint32_t TakeLostCount() noexcept;

private:
  struct Slot {
    // Which turn of the ring the slot is ready for: to be written at position
    // p when p, to be read when p + 1.
    std::atomic<std::size_t> turn;
    char line[kTraceLineCapacity];
  };
  Slot slots[kLines];
  std::atomic<std::size_t> writePosition{0};
  std::atomic<std::size_t> readPosition{0};
  std::atomic<uint32_t> lost{0};
};

} // namespace quorvane
