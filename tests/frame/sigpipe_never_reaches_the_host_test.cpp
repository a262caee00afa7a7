// A SIGPIPE raised inside guards (a write to a reset connection) never
// reaches the host: it is consumed when the outermost guard ends and the
// thread's mask is as it was. A SIGPIPE the caller blocks is left to it.
// The signal's default action would end this test.
#include <gtest/gtest.h>
#include <pthread.h>
#include <signal.h>

#include "frame/sigpipe_guard.h"

namespace txads {
namespace {

bool in(int (*read)(sigset_t*)) {
  sigset_t set;
  read(&set);
  return sigismember(&set, SIGPIPE) == 1;
}
int mask(sigset_t* set) {
  return pthread_sigmask(SIG_SETMASK, nullptr, set);
}

TEST(SigpipeGuards, KeepTheSignalFromTheHostAndLeaveTheCallersOwn) {
  ASSERT_EQ(signal(SIGPIPE, SIG_DFL), SIG_DFL);
  sigset_t pipe;
  sigemptyset(&pipe);
  sigaddset(&pipe, SIGPIPE);
  for (const bool caller_blocks : {false, true}) {
    pthread_sigmask(caller_blocks ? SIG_BLOCK : SIG_UNBLOCK, &pipe, nullptr);
    {
      SigpipeGuard outer;
      {
        SigpipeGuard inner;
        pthread_kill(pthread_self(), SIGPIPE);
      }
      EXPECT_TRUE(in(mask));  // the inner guard left the outer one's mask
      pthread_kill(pthread_self(), SIGPIPE);
    }
    EXPECT_EQ(in(mask), caller_blocks);
    EXPECT_EQ(in(sigpending), caller_blocks);
    const timespec none{0, 0};
    sigtimedwait(&pipe, nullptr, &none);
    pthread_sigmask(SIG_UNBLOCK, &pipe, nullptr);
  }
}

}  // namespace
}  // namespace txads
