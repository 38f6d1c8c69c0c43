#pragma once
// When a second left press makes a double-click, for windows that are not
// told by the system: within 500 ms of the first press and within a 4 x 4
// pixel box centred on it, the system defaults on Windows. A double-click
// consumes both presses, so a third press starts afresh. Editor window
// thread.

#include <cstdint>
#include <cstdlib>

namespace quorvane {

class DoubleClickRule {
public:
  static constexpr std::uint32_t kMaxIntervalMs = 500;
  static constexpr int kMaxDistance = 2; // half the box's side

  // Answers whether this press completes a double-click. Times are a
  // millisecond clock that may wrap.
  bool Press(int x, int y, std::uint32_t timeMs) {
    const bool pairs = pending && timeMs - firstTime <= kMaxIntervalMs &&
                       std::abs(x - firstX) <= kMaxDistance && std::abs(y - firstY) <= kMaxDistance;
    pending = !pairs;
    firstX = x;
    firstY = y;
    firstTime = timeMs;
    return pairs;
  }
  // Another button or a closed window breaks a pair.
  void Reset() { pending = false; }

private:
  bool pending = false;
  int firstX = 0;
  int firstY = 0;
  std::uint32_t firstTime = 0;
};

} // namespace quorvane
