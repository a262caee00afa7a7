// TXADInit and TXADSetRecursFlag: the two exports that set library-wide values.
#include "frame/export_frame.h"
#include "frame/library_values.h"
#include "txads.h"

using namespace txads;

extern "C" TXADS_API int TXADInit(HWND parent) {
  return run_export(1, [&] {
    parent_window.store(parent, std::memory_order_relaxed);
    ZKTraceSetProduct(kTraceProduct);
    return 1;
  });
}

extern "C" TXADS_API void TXADSetRecursFlag(int flag) {
  run_export([&] {
    trace_entry("TXADSetRecursFlag");
    recursion_flag.store(flag, std::memory_order_relaxed);
  });
}
