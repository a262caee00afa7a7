// With ZKTRACE_FILE unset, each line is one datagram to the log socket at
// facility user, priority debug. The test receives them on a socket of its
// own through the socket-path seam (the machine's /dev/log may not exist, and
// reading the system log back is not possible in a test).
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <regex>
#include <string>
#include <vector>

#include "destination.h"
#include "trace_capture.h"
#include "zktrace.h"

namespace {

class LogSocket {
 public:
  explicit LogSocket(std::string path) : path_(std::move(path)) {
    fd_ = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path_.copy(address.sun_path, sizeof address.sun_path - 1);
    bound_ = ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  }
  ~LogSocket() {
    ::close(fd_);
    ::unlink(path_.c_str());
  }
  bool bound() const { return bound_; }
  const std::string& path() const { return path_; }

  std::vector<std::string> received() {
    std::vector<std::string> out;
    char datagram[70000];
    for (;;) {
      const ssize_t n = ::recv(fd_, datagram, sizeof datagram, MSG_DONTWAIT);
      if (n < 0) break;
      out.emplace_back(datagram, static_cast<size_t>(n));
    }
    return out;
  }

 private:
  std::string path_;
  int fd_ = -1;
  bool bound_ = false;
};

TEST(WithoutAFile, EachLineIsOneDebugDatagramToTheLogSocket) {
  LogSocket log(trace_capture::temp_path("log.sock"));
  ASSERT_TRUE(log.bound());
  const auto result = trace_capture::run_with_trace_file("", [&] {
    zktrace::testing::set_syslog_socket(log.path().c_str());
    ZKTraceSetProduct("Tamrix");
    ZKTrace(6, "Tamrix AD Checker", "run function '%s'.\n", "TXADSetRecursFlag");
    ZKTrace(6, "Tamrix AD Checker", "second\nline\n");
    return 0;
  });
  ASSERT_EQ(result.exit_status, 0);
  const auto datagrams = log.received();
  ASSERT_EQ(datagrams.size(), 2u);
  const std::regex kDatagram(
      R"(^<15>(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) [ 123]\d \d\d:\d\d:\d\d zktrace_tests\[\d+\]: \[\d+\] Tamrix \| Tamrix AD Checker \| 6 \| (.*)$)");
  std::smatch m;
  ASSERT_TRUE(std::regex_match(datagrams[0], m, kDatagram)) << datagrams[0];
  EXPECT_EQ(m[2], "run function 'TXADSetRecursFlag'.");
  ASSERT_TRUE(std::regex_match(datagrams[1], m, kDatagram)) << datagrams[1];
  EXPECT_EQ(m[2], "second\\nline");
}

TEST(WithoutAFile, AMissingLogSocketCostsNothing) {
  const auto start = std::chrono::steady_clock::now();
  const auto result = trace_capture::run_with_trace_file("", [] {
    zktrace::testing::set_syslog_socket("/nonexistent-dir/log");
    for (int i = 0; i < 1000; ++i) ZKTrace(6, "c", "line %d\n", i);
    return 0;
  });
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

TEST(WithoutAFile, AFullLogSocketDropsLinesInsteadOfBlocking) {
  LogSocket log(trace_capture::temp_path("full.sock"));
  ASSERT_TRUE(log.bound());
  const auto start = std::chrono::steady_clock::now();
  const auto result = trace_capture::run_with_trace_file("", [&] {
    zktrace::testing::set_syslog_socket(log.path().c_str());
    // Nobody reads: the socket's queue fills long before this ends.
    const std::string filler(4000, 'z');
    for (int i = 0; i < 5000; ++i) ZKTrace(6, "c", "%d %s\n", i, filler.c_str());
    return 0;
  });
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
  const auto datagrams = log.received();
  EXPECT_GT(datagrams.size(), 0u);
  EXPECT_LT(datagrams.size(), 5000u);
}

}  // namespace
