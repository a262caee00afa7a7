// Where trace lines go.
//
// ZKTRACE_FILE is read once, at the first line the process writes, and the
// file it names is opened then (appending, created 0644) and kept open for
// the life of the process; later changes to the variable are not seen. If
// the file cannot be opened the lines are dropped, and opening is tried again
// at most once a second. When ZKTRACE_FILE is unset or empty, lines go to
// syslog (facility user, priority debug) through the local log socket; when
// no one listens there, the lines are dropped, and sending is tried again at
// most once a second.
//
// Nothing here takes a lock or waits: the state is a few atomics, the file is
// opened non-blocking (a FIFO without a reader drops lines instead of
// hanging, and one whose reader has gone drops them without SIGPIPE
// reaching the process), and datagrams to the log socket are sent non-blocking (a full
// socket drops the line). Thread-safe.
#pragma once

#include <cstddef>

namespace zktrace {

enum class Sink { kNone, kFile, kSyslog };

struct Target {
  Sink sink = Sink::kNone;
  int fd = -1;  // for kFile
};

// The destination for the next line.
Target current_target() noexcept;

// Writes one whole line to the file with a single write(2) (O_APPEND puts it
// at the end in one piece); a short write has its rest written after it.
void write_file(int fd, const char* data, size_t size) noexcept;

// Sends one datagram to the log socket; notes a socket no one listens on.
void send_syslog(const char* data, size_t size) noexcept;

namespace testing {
// Test seam: the log socket's path ("/dev/log" otherwise), so that a test can
// receive the datagrams on a socket of its own. Call before the first line.
void set_syslog_socket(const char* path) noexcept;
}  // namespace testing

}  // namespace zktrace
