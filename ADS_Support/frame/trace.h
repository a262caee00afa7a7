// The library's side of the trace channel: every line goes out at level 6
// under the component "Tamrix AD Checker". Safe from any thread.
#pragma once

#include <string>

#include "frame/output_buffer.h"
#include "zktrace.h"

namespace txads {

inline constexpr int kTraceLevel = 6;
inline constexpr const char* kTraceComponent = "Tamrix AD Checker";
inline constexpr const char* kTraceProduct = "Tamrix";

// One line: the format and its "%s" arguments go to the trace library as
// they are. Arguments must be C strings (use traced() for caller buffers).
// Without arguments the text goes through "%s", so that a '%' in it is
// written as it stands (and -Wformat-security has no non-literal format).
template <class... Args>
void trace(const char* format, Args... args) {
  if constexpr (sizeof...(Args) == 0) {
    ZKTrace(kTraceLevel, kTraceComponent, "%s", format);
  } else {
    ZKTrace(kTraceLevel, kTraceComponent, format, args...);
  }
}

// A caller's output buffer as a "%s" argument: its text up to the first zero
// byte or its length, so an unterminated buffer is never read past its end.
inline std::string traced(OutputBuffer buffer) {
  return std::string(buffer.current());
}

// A caller's input string as a "%s" argument; null prints as "(null)".
inline const char* traced(const char* text) {
  return text ? text : "(null)";
}

}  // namespace txads
