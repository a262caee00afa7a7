// A host checks errno after its own calls; tracing in between must not
// change it, whether the line is written, dropped or sent to syslog.
#include <gtest/gtest.h>

#include <cerrno>

#include "trace_capture.h"
#include "zktrace.h"

namespace {

// Exit status 0 when errno survived every call, else the step that broke it.
int calls_keep_errno() {
  errno = ERANGE;
  ZKTraceSetProduct("Tamrix");
  if (errno != ERANGE) return 1;
  errno = EILSEQ;
  ZKTrace(6, "Tamrix AD Checker", "run function '%s'.\n", "TXADIsGroupExist");
  if (errno != EILSEQ) return 2;
  errno = 0;
  ZKTrace(6, "Tamrix AD Checker", "%s\n", "second line");
  if (errno != 0) return 3;
  errno = ENOENT;
  const char* volatile no_format = nullptr;  // a null format writes nothing
  ZKTrace(6, nullptr, no_format);
  if (errno != ENOENT) return 4;
  return 0;
}

TEST(TraceCalls, LeaveErrnoAsTheCallerSetItWhenWritingToAFile) {
  const auto result = trace_capture::run_traced(calls_keep_errno);
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_EQ(result.lines.size(), 2u);
}

TEST(TraceCalls, LeaveErrnoAsTheCallerSetItWhenTheFileCannotBeOpened) {
  const auto result =
      trace_capture::run_with_trace_file("/nonexistent-dir/trace.log", calls_keep_errno);
  EXPECT_EQ(result.exit_status, 0);
}

TEST(TraceCalls, LeaveErrnoAsTheCallerSetItWhenGoingToSyslog) {
  const auto result = trace_capture::run_with_trace_file("", calls_keep_errno);
  EXPECT_EQ(result.exit_status, 0);
}

}  // namespace
