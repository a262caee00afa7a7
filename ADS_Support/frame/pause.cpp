#include "frame/pause.h"

#include <sys/prctl.h>

#include <cerrno>
#include <chrono>
#include <ctime>

#include "frame/call_clock.h"

namespace txads {

PreciseTimers::PreciseTimers() : saved_slack_ns_(prctl(PR_GET_TIMERSLACK, 0, 0, 0, 0)) {
  if (saved_slack_ns_ > 1) (void)prctl(PR_SET_TIMERSLACK, 1UL, 0, 0, 0);
}

PreciseTimers::~PreciseTimers() {
  if (saved_slack_ns_ > 1)
    (void)prctl(PR_SET_TIMERSLACK, static_cast<unsigned long>(saved_slack_ns_), 0, 0, 0);
}

void pause_one_millisecond() {
  const auto started = std::chrono::steady_clock::now();
  // An absolute deadline: a signal that wakes the thread early does not
  // shorten the pause, and no time is lost to re-arming.
  timespec deadline{};
  clock_gettime(CLOCK_MONOTONIC, &deadline);
  deadline.tv_nsec += 1'000'000;
  if (deadline.tv_nsec >= 1'000'000'000) {
    deadline.tv_nsec -= 1'000'000'000;
    ++deadline.tv_sec;
  }
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr) == EINTR) {
  }
  exclude_from_call(std::chrono::steady_clock::now() - started);
}

}  // namespace txads
