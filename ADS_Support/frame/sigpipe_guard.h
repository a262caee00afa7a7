// Keeps SIGPIPE away from the host process while the calling thread writes
// where a write could raise it and no MSG_NOSIGNAL can be asked for: a
// connection being opened and bound (libldap's and Kerberos's own writes,
// until the connection has its own socket layer, socket_layer.h), the resolver's
// queries over TCP, a trace FIFO whose reader has gone. SIGPIPE's default
// action ends the process. The signal is blocked for the guard's scope, and
// one that the scope raised is consumed before the thread's mask is
// restored. Guards nest: only the outermost one on a thread changes the
// mask. Per thread; no process-wide signal disposition is changed.
#pragma once

#include <pthread.h>
#include <signal.h>

#include <ctime>

namespace txads {

class SigpipeGuard {
 public:
  SigpipeGuard() {
    if (depth()++ > 0) return;
    sigemptyset(&pipe_);
    sigaddset(&pipe_, SIGPIPE);
    // A SIGPIPE pending before is blocked already (an unblocked one would
    // have been delivered), and then this guard leaves it alone.
    pthread_sigmask(SIG_BLOCK, &pipe_, &old_);
  }
  SigpipeGuard(const SigpipeGuard&) = delete;
  SigpipeGuard& operator=(const SigpipeGuard&) = delete;
  ~SigpipeGuard() {
    if (--depth() > 0) return;
    if (sigismember(&old_, SIGPIPE) == 1) return;  // the caller blocks it already
    const timespec none{0, 0};
    sigtimedwait(&pipe_, nullptr, &none);  // one the scope raised, if any
    pthread_sigmask(SIG_SETMASK, &old_, nullptr);
  }

 private:
  static int& depth() {
    thread_local int guards = 0;
    return guards;
  }

  sigset_t pipe_;
  sigset_t old_;
};

}  // namespace txads
