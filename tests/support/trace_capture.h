// The trace lines a test process writes. Linking this file points
// ZKTRACE_FILE at a file of the process's own before main (the trace library
// reads it once, at its first line), unless the environment already names
// one. TraceCapture reads what was written after it was constructed.
#pragma once

#include <string>
#include <vector>

namespace txads_test {

// "YYYY-MM-DD HH:MM:SS.mmm +hhmm [tid] product | component | level | message".
struct TraceLine {
  std::string raw;
  std::string component;
  int level = -1;
  std::string message;  // without the line's end
};

TraceLine parse_trace_line(const std::string& raw);

class TraceCapture {
 public:
  TraceCapture();
  // Every line written since construction, in order.
  std::vector<TraceLine> lines() const;
  // Their messages alone.
  std::vector<std::string> messages() const;

 private:
  long offset_;
};

}  // namespace txads_test
