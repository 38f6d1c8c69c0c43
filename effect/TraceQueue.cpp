#include "effect/TraceQueue.h"

namespace quorvane {

TraceQueue::TraceQueue() noexcept {
  for (std::size_t i = 0; i < kLines; ++i)
    slots[i].turn.store(i, std::memory_order_relaxed);
}

bool TraceQueue::Push(const TraceEntry& entry) noexcept {
  std::size_t position = writePosition.load(std::memory_order_relaxed);
  for (;;) {
    Slot& slot = slots[position % kLines];
    const std::size_t turn = slot.turn.load(std::memory_order_acquire);
    if (turn == position) {
      if (writePosition.compare_exchange_weak(position, position + 1, std::memory_order_relaxed))
        break;
    } else if (turn < position) {
      lost.fetch_add(1, std::memory_order_relaxed);
      return false;
    } else {
      position = writePosition.load(std::memory_order_relaxed);
    }
  }
  Slot& slot = slots[position % kLines];
  slot.entry = entry;
  slot.turn.store(position + 1, std::memory_order_release);
  return true;
}

bool TraceQueue::Pop(TraceEntry& entry) noexcept {
  std::size_t position = readPosition.load(std::memory_order_relaxed);
  for (;;) {
    Slot& slot = slots[position % kLines];
    const std::size_t turn = slot.turn.load(std::memory_order_acquire);
    if (turn == position + 1) {
      if (readPosition.compare_exchange_weak(position, position + 1, std::memory_order_relaxed))
        break;
    } else if (turn < position + 1) {
      return false;
    } else {
      position = readPosition.load(std::memory_order_relaxed);
    }
  }
  Slot& slot = slots[position % kLines];
  entry = slot.entry;
  slot.turn.store(position + kLines, std::memory_order_release);
  return true;
}

uint32_t TraceQueue::TakeLostCount() noexcept {
  return lost.exchange(0, std::memory_order_relaxed);
}

} // namespace quorvane
