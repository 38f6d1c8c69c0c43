#include "framework/PluginLock.h"

#include <new>
#include <pthread.h>

namespace quorvane {

static_assert(sizeof(pthread_mutex_t) <= PluginLock::kStorageSize, "lock storage too small");
static_assert(alignof(pthread_mutex_t) <= 16, "lock storage misaligned");

namespace {
pthread_mutex_t* Mutex(unsigned char* storage) {
  return std::launder(reinterpret_cast<pthread_mutex_t*>(storage));
}
} // namespace

PluginLock::PluginLock() {
  pthread_mutexattr_t attributes;
  pthread_mutexattr_init(&attributes);
  pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE);
  pthread_mutex_init(new (storage) pthread_mutex_t, &attributes);
  pthread_mutexattr_destroy(&attributes);
}

PluginLock::~PluginLock() {
  pthread_mutex_destroy(Mutex(storage));
}

void PluginLock::Acquire() {
  pthread_mutex_lock(Mutex(storage));
}
void PluginLock::Release() {
  pthread_mutex_unlock(Mutex(storage));
}
bool PluginLock::TryAcquire() {
  return pthread_mutex_trylock(Mutex(storage)) == 0;
}

} // namespace quorvane
