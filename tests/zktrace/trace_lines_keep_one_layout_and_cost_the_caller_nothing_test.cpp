// "YYYY-MM-DD HH:MM:SS.mmm +hhmm [tid] product | component | level | message" in local
// time, "-" for none; one whole line per call, also from eight threads at once; a message
// escaped onto one line; lines dropped while the file cannot be opened or no one listens on
// the log socket; errno kept.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "destination.h"
#include "support/trace_capture.h"
#include "zktrace.h"

namespace {

std::string local_stamp(const timespec& t) {
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", std::localtime(&t.tv_sec));
  return text + ("." + std::to_string(1000 + t.tv_nsec / 1000000).substr(1));
}

TEST(FileLines, CarryTimeOffsetThreadProductComponentAndLevel) {
  const struct {
    const char *tz, *offset, *product, *component, *fields;
  } rows[] = {{"UTC0", "+0000", "Tamrix", "Other Part", "Tamrix | Other Part"},
              {"XST+5:30", "-0530", nullptr, nullptr, "- | -"},
              {"YST-5:45", "+0545", "A|B", "c|d", "A/B | c/d"}};
  const std::regex layout(
      R"(^(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3}) ([+-]\d{4}) \[(\d+)\] (.*) \| 3 \| level 3$)");
  timespec now{};  // start at a second's first milliseconds, where a short field shows
  clock_gettime(CLOCK_REALTIME, &now);
  std::this_thread::sleep_for(std::chrono::nanoseconds(1'000'000'000 - now.tv_nsec));
  for (const auto& row : rows) {
    setenv("TZ", row.tz, 1);
    tzset();
    ZKTraceSetProduct(row.product);
    txads_test::TraceCapture capture;
    timespec before{}, after{};
    clock_gettime(CLOCK_REALTIME, &before);
    ZKTrace(3, row.component, "level %d\n", 3);
    clock_gettime(CLOCK_REALTIME, &after);
    const std::string line = capture.lines().at(0).raw;
    std::smatch field;
    ASSERT_TRUE(std::regex_match(line, field, layout)) << line;
    EXPECT_TRUE(field[1] >= local_stamp(before) && field[1] <= local_stamp(after)) << line;
    EXPECT_EQ(field[2], row.offset);
    EXPECT_EQ(std::stol(field[3]), static_cast<long>(::gettid()));
    EXPECT_EQ(field[4], row.fields);
  }
}

TEST(FileLines, KeepAMessageOnOneLine) {
  const struct {
    std::string argument, message;  // fed to "%s"; the message written
  } rows[] = {                      // clang-format off
      {"a\nb\n", "a\\nb"}, {"a\r\nb", "a\\r\\nb"}, {"a\x01z\x7f", "a\\x01z\\x7F"},
      {"two\n\n", "two"}, {"M\xfcller | x", "M\xfcller | x"}, {"", ""},
      {std::string(20000, 'x'), std::string(20000, 'x')}};
  // clang-format on
  for (const auto& row : rows) {
    txads_test::TraceCapture capture;
    ZKTrace(6, "c", "%s", row.argument.c_str());
    EXPECT_EQ(capture.messages(), std::vector<std::string>{row.message});
  }
  txads_test::TraceCapture capture;
  ZKTrace(6, "c", "%s\n", std::string(200000, 'y').c_str());
  const std::string cut = capture.messages().at(0);
  EXPECT_EQ(cut, std::string(cut.size() - 3, 'y') + "...");
  EXPECT_TRUE(cut.size() > 60000 && cut.size() < 70000) << cut.size();
}

TEST(FileLines, OfManyThreadsNeverInterleave) {
  constexpr int kThreads = 8, kLines = 1000;
  const auto filler = [](int t) {  // a long text of its own per thread, so that a torn line shows
    return std::string(static_cast<size_t>(300 + 37 * t), static_cast<char>('a' + t));
  };
  txads_test::TraceCapture capture;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([t, &filler] {
      for (int i = 0; i < kLines; ++i) ZKTrace(6, "c", "%d %d %s\n", t, i, filler(t).c_str());
    });
  for (auto& thread : threads) thread.join();
  int next[kThreads] = {};  // line number per writer
  const auto lines = capture.lines();
  ASSERT_EQ(lines.size(), size_t{kThreads * kLines});
  for (const auto& line : lines) {
    const int t = line.message[0] - '0';
    ASSERT_TRUE(t >= 0 && t < kThreads) << line.raw.substr(0, 99);
    ASSERT_EQ(line.message, std::to_string(t) + " " + std::to_string(next[t]++) + " " + filler(t));
  }
}

// The file is chosen once per process, so this runs in a fresh process of this
// binary (a threadsafe death test), which finds the directory in the environment.
TEST(Lines, AreDroppedUntilTheFileCanBeOpened) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  setenv("ZKTRACE_LATER_DIR", ("/tmp/zktrace-later-" + std::to_string(getpid())).c_str(), 0);
  const std::string dir = std::getenv("ZKTRACE_LATER_DIR"), file = dir + "/trace.log";
  EXPECT_EXIT(
      {
        setenv("ZKTRACE_FILE", file.c_str(), 1);
        errno = EILSEQ;
        ZKTrace(6, "c", "dropped\n");
        ::mkdir(dir.c_str(), 0700);
        ZKTrace(6, "c", "dropped: opening is retried at most once a second\n");
        std::this_thread::sleep_for(std::chrono::milliseconds(1100));
        ZKTrace(6, "c", "written\n");
        std::_Exit(errno == EILSEQ ? 0 : 1);  // errno as the caller set it
      },
      ::testing::ExitedWithCode(0), "");
  std::ifstream in(file);
  std::string first, second;
  std::getline(in, first);
  EXPECT_TRUE(first.ends_with(" | c | 6 | written") && !std::getline(in, second)) << first;
  ::unlink(file.c_str());
  ::rmdir(dir.c_str());
}

// A FIFO whose reader has gone: the line is dropped, and the SIGPIPE of the
// write (whose default action would end this process) never reaches it.
TEST(Lines, ToAFifoWhoseReaderHasGoneAreDropped) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const std::string fifo = "/tmp/zktrace-fifo-" + std::to_string(getpid());
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EXIT(
      {
        std::signal(SIGPIPE, SIG_DFL);
        const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
        setenv("ZKTRACE_FILE", fifo.c_str(), 1);
        ZKTrace(6, "c", "read\n");
        char line[512];
        const bool read = ::read(reader, line, sizeof line) > 0;
        ::close(reader);
        ZKTrace(6, "c", "dropped\n");
        sigset_t pending;
        sigpending(&pending);
        std::_Exit(read && sigismember(&pending, SIGPIPE) == 0 ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
  ::unlink(fifo.c_str());
}

// Sending to a log socket no one listens on is tried again at most once a
// second, so a listener that appears gets the lines from then on. In a fresh
// process: the socket's path is set before its first line.
TEST(Lines, AreDroppedUntilSomeoneListensOnTheLogSocket) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const std::string path = "/tmp/zktrace-log-" + std::to_string(getpid());
  EXPECT_EXIT(
      {
        unsetenv("ZKTRACE_FILE");
        zktrace::testing::set_syslog_socket(path.c_str());
        ZKTrace(6, "c", "dropped\n");
        const int listener = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        path.copy(address.sun_path, sizeof address.sun_path - 1);
        if (::bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
          std::_Exit(2);
        ZKTrace(6, "c", "dropped: sending is retried at most once a second\n");
        std::this_thread::sleep_for(std::chrono::milliseconds(1100));
        ZKTrace(6, "c", "received\n");
        char datagram[512];
        const ssize_t n = ::recv(listener, datagram, sizeof datagram, 0);
        const bool one =
            n > 0 &&
            std::string(datagram, static_cast<size_t>(n)).find(" | c | 6 | received") !=
                std::string::npos &&
            ::recv(listener, datagram, sizeof datagram, 0) < 0;
        ::unlink(path.c_str());
        std::_Exit(one ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
