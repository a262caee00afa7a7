// The clock of the export call running on this thread. The export frame
// starts it when an export is entered; an export entered from inside another
// (the command-line tool, a dialog callback) runs on the outer call's clock.
// The library's own deliberate pauses (pause.h) do not count as call time,
// so that a bound on the call limits waiting for servers, not pacing.
// Thread-local: each thread has its own call.
#pragma once

#include <chrono>
#include <cstdint>

namespace txads {

class CallClock {
 public:
  CallClock();
  ~CallClock();
  CallClock(const CallClock&) = delete;
  CallClock& operator=(const CallClock&) = delete;

 private:
  bool outermost_ = false;
};

// Whether an export call is running on this thread.
bool in_call();

// The call's time so far, without its pauses; zero outside a call.
std::chrono::steady_clock::duration call_elapsed();

// Numbers the calls of this thread: a value kept from one call differs from
// the next call's. Zero outside a call.
uint64_t call_serial();

// Takes `paused` off the running call's time (no effect outside a call).
void exclude_from_call(std::chrono::steady_clock::duration paused);

}  // namespace txads
