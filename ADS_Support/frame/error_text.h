// Error texts: what callers find in their error buffer.
//   GetADSErrorText  - an HRESULT's name, system message or hexadecimal form.
//   GetADSErrorName  - the ADS error name table (21 rows).
//   GetLastErrorText - the system message of the thread's last Win32 error.
// Thread-safe: the table is constant, the last error is per thread.
#pragma once

#include <string>

#include "frame/output_buffer.h"
#include "frame/status.h"

namespace txads {

// Zero-fills the buffer over its length, then appends at most length - 1
// characters of the code's text (so it is always terminated). A null buffer
// or a length of 0 or less is left alone.
void GetADSErrorText(Status status, OutputBuffer error);

// The row's name, or "" when the code has no row.
const char* GetADSErrorName(Status status);

// The message of the calling thread's last error, or "".
std::string GetLastErrorText();

}  // namespace txads
