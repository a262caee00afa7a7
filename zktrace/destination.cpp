// Trace destinations: the ZKTRACE_FILE file or the syslog socket; see
// destination.h for the rules.
#include "destination.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <optional>

#include "frame/sigpipe_guard.h"

namespace zktrace {
namespace {

// file_fd: a file descriptor (>= 0) or one of these states.
constexpr int kUndecided = -2;  // ZKTRACE_FILE not read yet
constexpr int kNotOpen = -1;    // a file is named but not open (yet)
constexpr int kToSyslog = -3;   // no file named

constexpr long long kRetryIntervalNs = 1'000'000'000LL;

std::atomic<int> file_fd{kUndecided};
// The file is a FIFO (or another file a write to could raise SIGPIPE with):
// set before its descriptor is published.
std::atomic<bool> file_is_pipe{false};
std::atomic<const char*> file_path{nullptr};  // private copy, never freed
std::atomic<long long> next_open_ns{0};       // monotonic time of the next try
std::atomic<int> log_socket{-1};
std::atomic<const char*> log_socket_path{"/dev/log"};
std::atomic<long long> next_send_ns{0};  // monotonic time of the next try when no one listened

long long monotonic_ns() noexcept {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<long long>(now.tv_sec) * 1'000'000'000LL + now.tv_nsec;
}

// Reads ZKTRACE_FILE and moves file_fd out of kUndecided.
void decide() noexcept {
  const char* named = std::getenv("ZKTRACE_FILE");
  int expected = kUndecided;
  if (named == nullptr || *named == '\0') {
    file_fd.compare_exchange_strong(expected, kToSyslog, std::memory_order_acq_rel);
    return;
  }
  char* copy = strdup(named);
  if (copy == nullptr) return;  // undecided still; the next line tries again
  const char* none = nullptr;
  if (!file_path.compare_exchange_strong(none, copy, std::memory_order_acq_rel)) std::free(copy);
  file_fd.compare_exchange_strong(expected, kNotOpen, std::memory_order_acq_rel);
}

// Opens the file unless a failed try was less than a second ago. Threads that
// race here each open it; one descriptor is published, the others closed.
int try_open() noexcept {
  const long long now = monotonic_ns();
  if (now < next_open_ns.load(std::memory_order_acquire)) return kNotOpen;

  const char* path = file_path.load(std::memory_order_acquire);
  if (path == nullptr) return kNotOpen;
  const int fd =
      ::open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0644);
  if (fd < 0) {
    next_open_ns.store(now + kRetryIntervalNs, std::memory_order_release);
    return kNotOpen;
  }
  struct stat status {};
  if (fstat(fd, &status) == 0 && !S_ISREG(status.st_mode))
    file_is_pipe.store(true, std::memory_order_release);
  int expected = kNotOpen;
  if (file_fd.compare_exchange_strong(expected, fd, std::memory_order_acq_rel)) return fd;
  ::close(fd);  // never published, so no other thread can be using it
  return expected;
}

int syslog_socket() noexcept {
  int fd = log_socket.load(std::memory_order_acquire);
  if (fd >= 0) return fd;
  const int made = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (made < 0) return -1;
  int expected = -1;
  if (log_socket.compare_exchange_strong(expected, made, std::memory_order_acq_rel)) return made;
  ::close(made);
  return expected;
}

}  // namespace

Target current_target() noexcept {
  int state = file_fd.load(std::memory_order_acquire);
  if (state == kUndecided) {
    decide();
    state = file_fd.load(std::memory_order_acquire);
  }
  if (state == kNotOpen) state = try_open();
  if (state >= 0) return {Sink::kFile, state};
  if (state == kToSyslog && monotonic_ns() >= next_send_ns.load(std::memory_order_acquire))
    return {Sink::kSyslog, -1};
  return {};
}

void write_file(int fd, const char* data, size_t size) noexcept {
  // A FIFO whose reader has gone raises SIGPIPE on write, which would end
  // the process; the line is dropped instead.
  std::optional<txads::SigpipeGuard> quiet;
  if (file_is_pipe.load(std::memory_order_acquire)) quiet.emplace();
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return;  // full disk, FIFO without room: the line is dropped
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
}

void send_syslog(const char* data, size_t size) noexcept {
  const int fd = syslog_socket();
  if (fd < 0) return;
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, log_socket_path.load(std::memory_order_acquire),
               sizeof address.sun_path - 1);
  if (::sendto(fd, data, size, MSG_DONTWAIT | MSG_NOSIGNAL,
               reinterpret_cast<const sockaddr*>(&address), sizeof address) < 0 &&
      (errno == ENOENT || errno == ECONNREFUSED))
    next_send_ns.store(monotonic_ns() + kRetryIntervalNs, std::memory_order_release);
}

namespace testing {
void set_syslog_socket(const char* path) noexcept {
  log_socket_path.store(path, std::memory_order_release);
}
}  // namespace testing

}  // namespace zktrace
