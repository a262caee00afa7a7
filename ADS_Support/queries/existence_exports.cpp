// TXADIsContainerExist and TXADIsGroupExist.
#include "frame/export_frame.h"
#include "queries/existence.h"
#include "txads.h"

using namespace txads;

extern "C" TXADS_API int TXADIsContainerExist(const char* container_path, char* error,
                                              int error_length) {
  return run_export(-1, [&] {
    trace_entry("TXADIsContainerExist");
    return queries::IsContainerExist(container_path, {error, error_length});
  });
}

extern "C" TXADS_API int TXADIsGroupExist(const char* group_path, char* error, int error_length) {
  return run_export(-1, [&] {
    trace_entry("TXADIsGroupExist");
    return queries::IsGroupExist(group_path, {error, error_length});
  });
}
