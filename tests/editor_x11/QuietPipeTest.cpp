#include "editor_x11/QuietPipe.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <pthread.h>
#include <unistd.h>

namespace quorvane {
namespace {

bool PipeBlocked() {
  sigset_t mask;
  pthread_sigmask(SIG_SETMASK, nullptr, &mask);
  return sigismember(&mask, SIGPIPE) == 1;
}

bool PipePending() {
  sigset_t pending;
  sigpending(&pending);
  return sigismember(&pending, SIGPIPE) == 1;
}

// A write into a pipe nobody reads: what the editor sees when the X server
// drops its connection. It must fail, not end the host's process.
TEST(QuietPipe, AWriteToAClosedPeerFailsAndLeavesNoSignalBehind) {
  ASSERT_FALSE(PipeBlocked());
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  close(ends[0]);
  {
    const QuietPipe quiet;
    EXPECT_TRUE(PipeBlocked());
    const char byte = 0;
    EXPECT_EQ(write(ends[1], &byte, 1), -1);
    EXPECT_EQ(errno, EPIPE);
  }
  close(ends[1]);
  EXPECT_FALSE(PipePending());
  EXPECT_FALSE(PipeBlocked());
}

} // namespace
} // namespace quorvane
