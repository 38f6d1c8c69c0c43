#include "editor_x11/QuietPipe.h"

#include <pthread.h>
#include <ctime>

namespace quorvane {
namespace {

sigset_t PipeOnly() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGPIPE);
  return set;
}

bool PipePending() {
  sigset_t pending;
  return sigpending(&pending) == 0 && sigismember(&pending, SIGPIPE) == 1;
}

} // namespace

QuietPipe::QuietPipe() {
  const sigset_t pipe = PipeOnly();
  alreadyPending = PipePending();
  blocked = pthread_sigmask(SIG_BLOCK, &pipe, &previous) == 0;
}

QuietPipe::~QuietPipe() {
  if (!blocked) return;
  if (!alreadyPending && PipePending()) {
    const sigset_t pipe = PipeOnly();
    const timespec none{0, 0};
    sigtimedwait(&pipe, nullptr, &none);
  }
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
}

} // namespace quorvane
