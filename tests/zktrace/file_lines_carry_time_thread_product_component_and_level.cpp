// Every line in ZKTRACE_FILE carries its time stamp, thread id, product,
// component and level in front of the message; the file is appended to.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <fstream>
#include <string>

#include "trace_capture.h"
#include "zktrace.h"

namespace {

using trace_capture::Line;

TEST(FileLines, CarryEveryFieldInFrontOfTheMessage) {
  const time_t before = std::time(nullptr);
  const auto result = trace_capture::run_traced([] {
    ZKTraceSetProduct("Tamrix");
    ZKTrace(6, "Tamrix AD Checker", "Check if user '%s' in group '%s'.\n", "CORP\\ann", "G1");
    ZKTrace(3, "Other Part", "plain\n");
    return static_cast<int>(::gettid() % 200);
  });
  ASSERT_EQ(result.lines.size(), 2u);
  const Line& first = result.lines[0];
  ASSERT_TRUE(first.parsed) << first.raw;
  EXPECT_EQ(first.product, "Tamrix");
  EXPECT_EQ(first.component, "Tamrix AD Checker");
  EXPECT_EQ(first.level, 6);
  EXPECT_EQ(first.message, "Check if user 'CORP\\ann' in group 'G1'.");
  EXPECT_EQ(first.thread_id % 200, result.exit_status);
  EXPECT_EQ(result.lines[1].component, "Other Part");
  EXPECT_EQ(result.lines[1].level, 3);

  // The stamp is local time within the test's own run.
  tm local{};
  ASSERT_NE(strptime(first.stamp.c_str(), "%Y-%m-%d %H:%M:%S", &local), nullptr);
  local.tm_isdst = -1;
  const time_t stamped = std::mktime(&local);
  EXPECT_GE(stamped, before - 1);
  EXPECT_LE(stamped, std::time(nullptr) + 1);
}

TEST(FileLines, WrittenBeforeAProductIsNamedShowADash) {
  const auto result = trace_capture::run_traced([] {
    ZKTrace(6, "Tamrix AD Checker", "before\n");
    ZKTraceSetProduct("Tamrix");
    ZKTrace(6, "Tamrix AD Checker", "after\n");
    ZKTraceSetProduct(nullptr);
    ZKTrace(6, "", "unnamed again\n");
    return 0;
  });
  ASSERT_EQ(result.lines.size(), 3u);
  EXPECT_EQ(result.lines[0].product, "-");
  EXPECT_EQ(result.lines[1].product, "Tamrix");
  EXPECT_EQ(result.lines[2].product, "-");
  EXPECT_EQ(result.lines[2].component, "-");
}

TEST(FileLines, TheLatestProductNameWins) {
  const auto result = trace_capture::run_traced([] {
    ZKTraceSetProduct("First");
    ZKTraceSetProduct("Second");
    ZKTraceSetProduct("First");
    ZKTrace(6, "c", "x\n");
    return 0;
  });
  ASSERT_EQ(result.lines.size(), 1u);
  EXPECT_EQ(result.lines[0].product, "First");
}

TEST(FileLines, AreAppendedToWhatTheFileHeld) {
  const std::string path = trace_capture::temp_path("append");
  {
    std::ofstream out(path);
    out << "kept line\n";
  }
  const auto result = trace_capture::run_with_trace_file(path, [] {
    ZKTrace(6, "c", "new line\n");
    return 0;
  });
  ::unlink(path.c_str());
  ASSERT_EQ(result.lines.size(), 2u);
  EXPECT_EQ(result.lines[0].raw, "kept line");
  EXPECT_EQ(result.lines[1].message, "new line");
}

TEST(FileLines, CreateTheFileWhenItIsMissing) {
  const std::string path = trace_capture::temp_path("create");
  const auto result = trace_capture::run_with_trace_file(path, [] {
    ZKTrace(6, "c", "first\n");
    return 0;
  });
  struct stat st {};
  const bool exists = ::stat(path.c_str(), &st) == 0;
  ::unlink(path.c_str());
  ASSERT_TRUE(exists);
  EXPECT_TRUE(S_ISREG(st.st_mode));
  ASSERT_EQ(result.lines.size(), 1u);
}

TEST(FileLines, KeepTheFileNamedAtTheFirstLine) {
  // ZKTRACE_FILE is read once: a later change does not move the trace.
  const std::string first = trace_capture::temp_path("first");
  const std::string second = trace_capture::temp_path("second");
  const auto result = trace_capture::run_with_trace_file(first, [&] {
    ZKTrace(6, "c", "one\n");
    ::setenv("ZKTRACE_FILE", second.c_str(), 1);
    ZKTrace(6, "c", "two\n");
    return 0;
  });
  const bool second_exists = ::access(second.c_str(), F_OK) == 0;
  ::unlink(first.c_str());
  ::unlink(second.c_str());
  EXPECT_EQ(result.lines.size(), 2u);
  EXPECT_FALSE(second_exists);
}

}  // namespace
