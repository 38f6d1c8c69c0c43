#pragma once
// Trace lines made during an audio call wait here for the user-interface
// thread, which formats and writes them out: each as its label and numbers,
// so the audio side copies ten words and formats nothing. A bounded queue,
// safe for several writers and readers at once (two effects on two audio
// threads): nobody waits, nothing is allocated, a line that finds the queue
// full is counted instead of stored.

#include "effect/DebugTrace.h"

#include <atomic>
#include <cstddef>
#include <cstdint>

namespace quorvane {

struct TraceEntry {
  const char* label; // a literal: it outlives the wait
  double numbers[kTraceNumberCount];
};

class TraceQueue {
public:
  static constexpr std::size_t kLines = 64;

  TraceQueue() noexcept;
  // Stores the line; false, and counted, when the queue is full.
  bool Push(const TraceEntry& entry) noexcept;
  // Takes the oldest line; false when none waits.
  bool Pop(TraceEntry& entry) noexcept;
  // Answers the lines lost since the last call, and starts counting anew.
  uint32_t TakeLostCount() noexcept;

private:
  struct Slot {
    // Which turn of the ring the slot is ready for: to be written at position
    // p when p, to be read when p + 1.
    std::atomic<std::size_t> turn;
    TraceEntry entry;
  };
  Slot slots[kLines];
  std::atomic<std::size_t> writePosition{0};
  std::atomic<std::size_t> readPosition{0};
  std::atomic<uint32_t> lost{0};
};

} // namespace quorvane
