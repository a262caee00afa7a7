// The two library-wide values: the parent window given to TXADInit and the
// recursion flag given to TXADSetRecursFlag. Written and read from any thread;
// relaxed atomics give the platform's plain-variable semantics without a data
// race.
#pragma once

#include <atomic>

#include "txads.h"

namespace txads {

extern std::atomic<HWND> parent_window;
extern std::atomic<int> recursion_flag;

// Whether the group checks follow nested groups: any non-zero flag does.
inline bool recursion_enabled() {
  return recursion_flag.load(std::memory_order_relaxed) != 0;
}

}  // namespace txads
