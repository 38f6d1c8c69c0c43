#include "framework/PluginLock.h"
#include "tests/framework/TestThread.h"

#include <gtest/gtest.h>

#include <atomic>

namespace quorvane {

TEST(PluginLock, TheHolderMayTakeItAgain) {
  PluginLock lock;
  PluginLockGuard outer(lock);
  {
    PluginLockGuard inner(lock);
    EXPECT_TRUE(lock.TryAcquire());
    lock.Release();
  }
  // Still held once by this thread: another thread must not get it.
  bool otherGotIt = true;
  TestThread other([&] {
    otherGotIt = lock.TryAcquire();
    if (otherGotIt) lock.Release();
  });
  other.Join();
  EXPECT_FALSE(otherGotIt);
}

TEST(PluginLock, AnotherThreadGetsItOnlyAfterTheLastRelease) {
  PluginLock lock;
  lock.Acquire();
  lock.Acquire();
  lock.Release();
  std::atomic<bool> entered{false};
  TestThread other([&] {
    PluginLockGuard guard(lock);
    entered = true;
  });
  for (int i = 0; i < 1000; ++i)
    YieldThread();
  EXPECT_FALSE(entered.load());
  lock.Release();
  other.Join();
  EXPECT_TRUE(entered.load());
}

TEST(PluginLock, ExcludesOtherThreads) {
  PluginLock lock;
  constexpr int kRounds = 200000;
  long counter = 0; // deliberately not atomic: the lock alone must protect it
  auto work = [&] {
    for (int i = 0; i < kRounds; ++i) {
      PluginLockGuard guard(lock);
      PluginLockGuard again(lock);
      const long seen = counter;
      counter = seen + 1;
    }
  };
  TestThread a(work);
  TestThread b(work);
  a.Join();
  b.Join();
  EXPECT_EQ(counter, 2L * kRounds);
}

} // namespace quorvane
