// A trace file that cannot be opened drops lines and is opened once it can
// be (at most a second later); errno stays as the caller set it. The file is
// chosen once per process, so that case runs in a fresh process of this
// binary (a death test in the threadsafe style) that exits 0 when all went well.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include "support/trace_capture.h"
#include "zktrace.h"

namespace {

// A path the test and its fresh process share through the environment.
std::string shared_path(const char* variable) {
  if (const char* inherited = std::getenv(variable)) return inherited;
  const char* dir = std::getenv("TMPDIR");
  const std::string path = std::string(dir && *dir ? dir : "/tmp") + "/zktrace-" + variable + "-" +
                           std::to_string(::getpid());
  setenv(variable, path.c_str(), 1);
  return path;
}

// Ends the process with 1 when the line changed errno.
void trace_keeping_errno(const char* message) {
  errno = EILSEQ;
  ZKTrace(6, "Tamrix AD Checker", "%s\n", message);
  if (errno != EILSEQ) std::_Exit(1);
}

TEST(Lines, KeepErrnoWhenWrittenToTheFile) {
  txads_test::TraceCapture capture;
  trace_keeping_errno("x");
  EXPECT_EQ(capture.messages(), std::vector<std::string>{"x"});
}

TEST(Lines, AreDroppedUntilTheFileCanBeOpened) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const std::string dir = shared_path("LATER_DIR"), file = dir + "/trace.log";
  EXPECT_EXIT(
      {
        setenv("ZKTRACE_FILE", file.c_str(), 1);
        trace_keeping_errno("dropped");
        ::mkdir(dir.c_str(), 0700);
        trace_keeping_errno("dropped: opening is retried at most once a second");
        std::this_thread::sleep_for(std::chrono::milliseconds(1100));
        trace_keeping_errno("written");
        std::_Exit(0);
      },
      ::testing::ExitedWithCode(0), "");
  std::ifstream in(file);
  std::vector<std::string> messages;
  for (std::string line; std::getline(in, line);)
    messages.push_back(txads_test::parse_trace_line(line).message);
  ::unlink(file.c_str());
  ::rmdir(dir.c_str());
  EXPECT_EQ(messages, std::vector<std::string>{"written"});
}

}  // namespace
