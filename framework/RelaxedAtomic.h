#pragma once
// A value one thread writes and another reads without a lock, where only the
// latest value matters and no other memory is ordered by it: a parameter's
// value and a control's value and redraw flags, which the plug-in side sets
// from the audio thread while the editor's window thread paints them. Reads
// and writes look like a plain variable's.

#include <atomic>

namespace quorvane {

template <typename T> class RelaxedAtomic {
public:
  RelaxedAtomic(T initial = T()) : stored(initial) {}
  // Copies take the value, so a class holding one stays copyable.
  RelaxedAtomic(const RelaxedAtomic& other) : stored(static_cast<T>(other)) {}
  RelaxedAtomic& operator=(const RelaxedAtomic& other) { return *this = static_cast<T>(other); }

  operator T() const { return stored.load(std::memory_order_relaxed); }
  RelaxedAtomic& operator=(T v) {
    stored.store(v, std::memory_order_relaxed);
    return *this;
  }
  // Read and write as two steps: a concurrent write in between is overwritten,
  // as with the plain variable this replaces.
  RelaxedAtomic& operator+=(T step) { return *this = static_cast<T>(*this) + step; }
  T Exchange(T v) { return stored.exchange(v, std::memory_order_relaxed); }

private:
  std::atomic<T> stored;
};

} // namespace quorvane
