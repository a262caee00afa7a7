// The pause that paces the walks and listings of a container's children: one
// millisecond after each element. PreciseTimers lowers the calling thread's timer slack while a
// listing runs, so that each pause lasts 1 ms and not 1 ms plus the kernel's
// default slack; it restores the thread's own setting when it goes.
// The pauses do not count towards the bound of the call (call_clock.h).
#pragma once

namespace txads {

class PreciseTimers {
 public:
  PreciseTimers();
  ~PreciseTimers();
  PreciseTimers(const PreciseTimers&) = delete;
  PreciseTimers& operator=(const PreciseTimers&) = delete;

 private:
  long saved_slack_ns_;
};

// Sleeps for at least one millisecond of the monotonic clock, signals or not.
void pause_one_millisecond();

}  // namespace txads
