#pragma once

// A recursive lock: the thread that holds it may take it again. One per plug-in instance (held
// around every host call into the plug-in), and process-wide for instance creation and the
// editor's caches. A critical section on Windows, a recursive pthread mutex elsewhere; the
// platform object lives in opaque storage so that this header stays free of OS headers.

#include <cstddef>

namespace quorvane {

class PluginLock {
public:
  PluginLock();
  ~PluginLock();
  PluginLock(const PluginLock&) = delete;
  PluginLock& operator=(const PluginLock&) = delete;

  void Acquire();
  void Release();
  bool TryAcquire();

  static constexpr std::size_t kStorageSize = 64;

private:
  alignas(16) unsigned char storage[kStorageSize];
};

// Holds a PluginLock for the lifetime of a scope.
class PluginLockGuard {
public:
  explicit PluginLockGuard(PluginLock& lock) : held(lock) { held.Acquire(); }
  ~PluginLockGuard() { held.Release(); }
  PluginLockGuard(const PluginLockGuard&) = delete;
  PluginLockGuard& operator=(const PluginLockGuard&) = delete;

private:
  PluginLock& held;
};

} // namespace quorvane
