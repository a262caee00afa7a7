#include "frame/call_clock.h"

namespace txads {
namespace {

using Clock = std::chrono::steady_clock;

struct ThreadCall {
  bool running = false;
  uint64_t serial = 0;
  Clock::time_point started;
  Clock::duration paused{};
};

thread_local ThreadCall current;

}  // namespace

CallClock::CallClock() {
  if (current.running) return;
  outermost_ = true;
  current.running = true;
  ++current.serial;
  current.started = Clock::now();
  current.paused = Clock::duration::zero();
}

CallClock::~CallClock() {
  if (outermost_) current.running = false;
}

bool in_call() {
  return current.running;
}

Clock::duration call_elapsed() {
  if (!current.running) return Clock::duration::zero();
  return Clock::now() - current.started - current.paused;
}

uint64_t call_serial() {
  return current.running ? current.serial : 0;
}

void exclude_from_call(Clock::duration paused) {
  if (current.running) current.paused += paused;
}

}  // namespace txads
