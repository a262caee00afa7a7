// The export frame: the fixed steps around every exported function.
//
// Opening, in this order:
//   1. module state: nothing to make current on this platform;
//   2. trace_entry("TXAD...") as the first statement, before any argument is
//      looked at (TXADInit writes no line);
//   3. a ComInit on the stack before the first directory call (not for the
//      five exports that do no directory work).
// Closing: the ComInit destructor balances a successful initialisation on
// every way out; an export with an exit line writes it; the result returns.
//
//   extern "C" TXADS_API int TXADIsGroupExist(const char* path, char* e, int n) {
//     return run_export(-1, [&] { trace_entry("TXADIsGroupExist");
//                                  return is_group_exist(path, {e, n}); });
//   }
//
// run_export also starts the call's clock (call_clock.h), which bounds the
// call's waits for servers (SIGPIPE is kept away where a write could raise
// it, sigpipe_guard.h). It keeps exceptions from crossing the C boundary: an
// export that meets one (out of memory, a list walked past its end) returns
// the failure code it names instead. Thread-safe.
#pragma once

#include <new>

#include "frame/call_clock.h"
#include "frame/trace.h"

namespace txads {

// Writes "run function '<name>'.\n".
void trace_entry(const char* export_name);

template <class Result, class Work>
Result run_export(Result on_exception, Work&& work) noexcept {
  const CallClock clock;
  try {
    return work();
  } catch (...) {
    return on_exception;
  }
}

template <class Work>
void run_export(Work&& work) noexcept {
  const CallClock clock;
  try {
    work();
  } catch (...) {
  }
}

}  // namespace txads
