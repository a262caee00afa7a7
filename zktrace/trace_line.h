// The text of one trace line, for the file and for syslog.
//
// File line (one per call, fields separated by " | "):
//   2026-12-05 15:53:27.123 +0100 [4711] Tamrix | Tamrix AD Checker | 6 | run function 'X'.
//   local time with milliseconds and UTC offset, [thread id], product ("-"
//   before one is named), component, level, message.
// Syslog datagram (facility user, priority debug):
//   <15>Dec  5 15:53:27 ident[pid]: [4711] Tamrix | Tamrix AD Checker | 6 | run function 'X'.
//
// The message's own trailing line break is dropped; line breaks and control
// bytes inside it are escaped; a message longer than kMessageMax is cut and
// the line ends in "...". Pure functions of their arguments; thread-safe.
#pragma once

#include <cstdarg>
#include <ctime>

#include "text_buffer.h"

namespace zktrace {

inline constexpr size_t kMessageMax = 64 * 1024;

struct LineFields {
  timespec time{};                // CLOCK_REALTIME
  long thread_id = 0;             // kernel thread id
  const char* product = nullptr;  // null: no product named yet
  const char* component = nullptr;
  int level = 0;
};

// printf-formats one call's message into `out`, without its trailing line
// breaks.
void format_message(TextBuffer& out, const char* format, va_list args) noexcept;

// The file line, ending in "\n".
void compose_file_line(TextBuffer& out, const LineFields& fields,
                       const TextBuffer& message) noexcept;

// The syslog datagram (no line break), sent as is to the log socket.
void compose_syslog_datagram(TextBuffer& out, const LineFields& fields, const char* ident, long pid,
                             const TextBuffer& message) noexcept;

}  // namespace zktrace
