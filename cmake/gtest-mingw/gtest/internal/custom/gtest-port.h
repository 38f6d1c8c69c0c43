// GoogleTest's customisation point, used only in the MinGW build. With the
// win32 thread model GCC 12 has no std::mutex or std::condition_variable,
// which GoogleTest's portable Notification is built on; this one waits on
// an atomic flag instead. Only GoogleTest's own thread helpers use it.
#ifndef QUORVANE_GTEST_MINGW_CUSTOM_PORT_H
#define QUORVANE_GTEST_MINGW_CUSTOM_PORT_H

#include <atomic>

extern "C" __declspec(dllimport) void __stdcall Sleep(unsigned long milliseconds);

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing {
namespace internal {

class Notification {
public:
  Notification() = default;
  Notification(const Notification&) = delete;
  Notification& operator=(const Notification&) = delete;

  void Notify() { notified_.store(true, std::memory_order_release); }

  void WaitForNotification() {
    while (!notified_.load(std::memory_order_acquire)) {
      Sleep(1);
    }
  }

private:
  std::atomic<bool> notified_{false};
};

} // namespace internal
} // namespace testing

#endif
