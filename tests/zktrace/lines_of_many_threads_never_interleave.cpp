// Eight threads write at once to one trace file; every line must come out
// whole and parseable, none lost, each thread's lines in its own order.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <thread>
#include <vector>

#include "trace_capture.h"
#include "zktrace.h"

namespace {

constexpr int kThreads = 8;
constexpr int kLinesPerThread = 2000;

int write_from_threads() {
  ZKTraceSetProduct("Tamrix");
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([t] {
      // A long filler makes a torn write show up as a broken line.
      const std::string filler(300 + 37 * t, static_cast<char>('a' + t));
      for (int i = 0; i < kLinesPerThread; ++i) {
        ZKTrace(6, "Tamrix AD Checker", "thread %d line %d %s.\n", t, i, filler.c_str());
      }
    });
  }
  for (auto& th : threads) th.join();
  return 0;
}

TEST(LinesOfManyThreads, AreNeverInterleavedNorLost) {
  const auto result = trace_capture::run_traced(write_from_threads);
  ASSERT_EQ(result.exit_status, 0);
  ASSERT_EQ(result.lines.size(), static_cast<size_t>(kThreads * kLinesPerThread));

  std::map<int, int> next_line;  // per writing thread
  std::map<int, long> thread_ids;
  for (const auto& line : result.lines) {
    ASSERT_TRUE(line.parsed) << line.raw.substr(0, 200);
    int t = -1, i = -1;
    char filler_start = 0;
    ASSERT_EQ(std::sscanf(line.message.c_str(), "thread %d line %d %c", &t, &i, &filler_start), 3)
        << line.message.substr(0, 80);
    ASSERT_GE(t, 0);
    ASSERT_LT(t, kThreads);
    const std::string expected_tail =
        " " + std::string(300 + 37 * t, static_cast<char>('a' + t)) + ".";
    ASSERT_EQ(line.message.substr(line.message.size() - expected_tail.size()), expected_tail);
    EXPECT_EQ(i, next_line[t]++) << "thread " << t << " lines out of order";
    auto [it, fresh] = thread_ids.emplace(t, line.thread_id);
    EXPECT_EQ(it->second, line.thread_id) << "one writer, one thread id";
    (void)fresh;
  }
  for (int t = 0; t < kThreads; ++t) EXPECT_EQ(next_line[t], kLinesPerThread);
  EXPECT_EQ(thread_ids.size(), static_cast<size_t>(kThreads));
}

}  // namespace
