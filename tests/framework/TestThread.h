#pragma once

// A minimal thread for tests: the Windows build's toolchain has no std::thread.

#include <functional>
#include <utility>

#ifdef _WIN32
#include <windows.h>
#else
#include <pthread.h>
#endif

namespace quorvane {

class TestThread {
public:
  explicit TestThread(std::function<void()> body) : work(std::move(body)) {
#ifdef _WIN32
    handle = CreateThread(nullptr, 0, &TestThread::Entry, this, 0, nullptr);
#else
    pthread_create(&handle, nullptr, &TestThread::Entry, this);
#endif
  }
  ~TestThread() {
    Join();
  }
  TestThread(const TestThread&) = delete;
  TestThread& operator=(const TestThread&) = delete;

  void Join() {
    if (joined) return;
    joined = true;
#ifdef _WIN32
    WaitForSingleObject(handle, INFINITE);
    CloseHandle(handle);
#else
    pthread_join(handle, nullptr);
#endif
  }

private:
#ifdef _WIN32
  static DWORD WINAPI Entry(LPVOID self) {
    static_cast<TestThread*>(self)->work();
    return 0;
  }
  HANDLE handle = nullptr;
#else
  static void* Entry(void* self) {
    static_cast<TestThread*>(self)->work();
    return nullptr;
  }
  pthread_t handle{};
#endif
  std::function<void()> work;
  bool joined = false;
};

// Lets a test thread give up its time slice while it waits for another one.
inline void YieldThread() {
#ifdef _WIN32
  Sleep(0);
#else
  sched_yield();
#endif
}

} // namespace quorvane
