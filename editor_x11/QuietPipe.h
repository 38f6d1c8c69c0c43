#pragma once
// Holds off SIGPIPE on the calling thread while it lives. The editor writes
// to the X server from the host's threads and its own; should the server drop
// the connection, a write must fail with EPIPE (xcb then marks the connection
// broken) rather than kill the host's process. A SIGPIPE raised meanwhile is
// taken back before the thread's signal mask is restored.

#include <csignal>

namespace quorvane {

class QuietPipe {
public:
  QuietPipe();
  ~QuietPipe();
  QuietPipe(const QuietPipe&) = delete;
  QuietPipe& operator=(const QuietPipe&) = delete;

private:
  sigset_t previous{};
  bool blocked = false;
  // One that was already pending belongs to someone else: leave it.
  bool alreadyPending = false;
};

} // namespace quorvane
