// The export frame: the fixed opening and closing steps around every
// exported function. Opening: the entry trace line. The COM count is taken by
// the worker with ComInit at its own step. Closing: nothing is left behind.
//
// run_export also keeps exceptions from crossing the C boundary: an export
// that meets one (out of memory) returns its failure code instead.
#pragma once

#include <new>

#include "frame/trace.h"

namespace txads {

// Writes "run function '<name>'.\n".
void trace_entry(const char* export_name);

template <class Result, class Work>
Result run_export(Result on_exception, Work&& work) noexcept {
  try {
    return work();
  } catch (...) {
    return on_exception;
  }
}

template <class Work>
void run_export(Work&& work) noexcept {
  try {
    work();
  } catch (...) {
  }
}

}  // namespace txads
