// Keeps SIGPIPE away from the host process while the calling thread talks
// LDAP: liblber writes to sockets with write(2), and a write to a connection
// the server has reset would otherwise raise SIGPIPE, whose default action
// ends the process. The signal is blocked for the guard's scope, and one
// that the scope raised is consumed before the thread's mask is restored.
// Per thread; no process-wide signal disposition is changed.
#pragma once

#include <pthread.h>
#include <signal.h>

#include <ctime>

namespace txads::directory {

class SigpipeGuard {
 public:
  SigpipeGuard() {
    sigemptyset(&pipe_);
    sigaddset(&pipe_, SIGPIPE);
    sigset_t pending;
    sigpending(&pending);
    was_pending_ = sigismember(&pending, SIGPIPE) == 1;
    pthread_sigmask(SIG_BLOCK, &pipe_, &old_);
  }
  SigpipeGuard(const SigpipeGuard&) = delete;
  SigpipeGuard& operator=(const SigpipeGuard&) = delete;
  ~SigpipeGuard() {
    if (sigismember(&old_, SIGPIPE) == 1) return;  // the caller blocks it already
    sigset_t pending;
    sigpending(&pending);
    if (!was_pending_ && sigismember(&pending, SIGPIPE) == 1) {
      const timespec none{0, 0};
      sigtimedwait(&pipe_, nullptr, &none);
    }
    pthread_sigmask(SIG_SETMASK, &old_, nullptr);
  }

 private:
  sigset_t pipe_;
  sigset_t old_;
  bool was_pending_ = false;
};

}  // namespace txads::directory
