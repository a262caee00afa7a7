// A trace file that cannot be opened costs the caller nothing: the lines are
// dropped, nothing else is written anywhere, and opening is tried again later.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>

#include "trace_capture.h"
#include "zktrace.h"

namespace {

TEST(UnopenableFiles, DropLinesAndReturnAtOnce) {
  const auto start = std::chrono::steady_clock::now();
  const auto result = trace_capture::run_with_trace_file("/nonexistent-dir/trace.log", [] {
    for (int i = 0; i < 1000; ++i) ZKTrace(6, "c", "line %d\n", i);
    return 0;
  });
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_LT(took, std::chrono::seconds(10));
}

TEST(UnopenableFiles, AreOpenedOnceTheyCanBe) {
  const std::string dir = trace_capture::temp_path("later-dir");
  const std::string path = dir + "/trace.log";
  std::string bytes;
  const auto result = trace_capture::run_with_trace_file(path, [&] {
    ZKTrace(6, "c", "dropped\n");
    if (::mkdir(dir.c_str(), 0755) != 0) return 1;
    ZKTrace(6, "c", "still dropped: retried at most once a second\n");
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    ZKTrace(6, "c", "written\n");
    return 0;
  });
  ::unlink(path.c_str());
  ::rmdir(dir.c_str());
  EXPECT_EQ(result.exit_status, 0);
  ASSERT_EQ(result.lines.size(), 1u);
  EXPECT_EQ(result.lines[0].message, "written");
}

TEST(UnopenableFiles, IncludeAFifoWithoutReaderWhichMustNotHang) {
  const std::string path = trace_capture::temp_path("fifo");
  ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
  const auto start = std::chrono::steady_clock::now();
  const auto result = trace_capture::run_with_trace_file(path, [] {
    ZKTrace(6, "c", "nobody reads this\n");
    return 0;
  });
  ::unlink(path.c_str());
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

}  // namespace
