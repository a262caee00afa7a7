// The result of a change that either succeeds or reports its failure: 0, or
// -1 with the failing status's text in the caller's error buffer.
// Thread-safe.
#pragma once

#include "frame/error_text.h"
#include "frame/output_buffer.h"
#include "frame/status.h"

namespace txads {

inline int outcome(Status status, OutputBuffer error) {
  if (status.ok()) return 0;
  GetADSErrorText(status, error);
  return -1;
}

}  // namespace txads
