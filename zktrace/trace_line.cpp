// Trace line composition; see trace_line.h for the formats.
#include "trace_line.h"

#include <algorithm>
#include <cstdio>

namespace zktrace {
namespace {

// Room for the fields around the message; product and component are short.
constexpr size_t kFieldsRoom = 512;

void append_number(TextBuffer& out, const char* format, long value) noexcept {
  char text[32];
  const int n = std::snprintf(text, sizeof text, format, value);
  if (n > 0) out.append(text, std::min(static_cast<size_t>(n), sizeof text - 1));
}

// "[tid] product | component | level | message"
void append_fields(TextBuffer& out, const LineFields& f, const TextBuffer& message) noexcept {
  append_number(out, "[%ld] ", f.thread_id);
  out.append_field(f.product != nullptr && *f.product != '\0' ? f.product : "-");
  out.append(" | ");
  out.append_field(f.component != nullptr && *f.component != '\0' ? f.component : "-");
  append_number(out, " | %ld | ", f.level);
  out.append_escaped(message.data(), message.size());
  if (message.cut()) out.mark_cut();
}

}  // namespace

void format_message(TextBuffer& out, const char* format, va_list args) noexcept {
  va_list again;
  va_copy(again, args);
  const int n = std::vsnprintf(out.raw(), out.capacity(), format, args);
  if (n < 0) {
    out.set_size(0, false);
  } else {
    // Room for the text, its terminator and the cut marker.
    const size_t wanted = static_cast<size_t>(n) + 8;
    if (wanted > out.capacity() && out.reserve(wanted < kMessageMax ? wanted : kMessageMax)) {
      (void)std::vsnprintf(out.raw(), out.capacity(), format, again);
    }
    out.set_size(static_cast<size_t>(n), false);  // cuts what did not fit
  }
  va_end(again);
  out.trim_trailing_line_breaks();
}

void compose_file_line(TextBuffer& out, const LineFields& f, const TextBuffer& message) noexcept {
  // Escaping at most quadruples the message.
  (void)out.reserve(kFieldsRoom + 4 * message.size());
  tm local{};
  localtime_r(&f.time.tv_sec, &local);
  const long offset = local.tm_gmtoff / 60;
  char stamp[64];
  const int n =
      std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %02d:%02d:%02d.%03ld %c%02ld%02ld ",
                    local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                    local.tm_min, local.tm_sec, f.time.tv_nsec / 1000000L, offset < 0 ? '-' : '+',
                    (offset < 0 ? -offset : offset) / 60, (offset < 0 ? -offset : offset) % 60);
  if (n > 0) out.append(stamp, std::min(static_cast<size_t>(n), sizeof stamp - 1));
  append_fields(out, f, message);
  out.finish('\n');
}

void compose_syslog_datagram(TextBuffer& out, const LineFields& f, const char* ident, long pid,
                             const TextBuffer& message) noexcept {
  static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  (void)out.reserve(kFieldsRoom + 4 * message.size());
  tm local{};
  localtime_r(&f.time.tv_sec, &local);
  char head[96];
  // Priority 15: facility user (1) * 8 + debug (7). Month names are the
  // protocol's, never the locale's.
  const int n =
      std::snprintf(head, sizeof head, "<15>%s %2d %02d:%02d:%02d ", kMonths[local.tm_mon % 12],
                    local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
  if (n > 0) out.append(head, std::min(static_cast<size_t>(n), sizeof head - 1));
  out.append_field(ident != nullptr && *ident != '\0' ? ident : "zktrace");
  append_number(out, "[%ld]: ", pid);
  append_fields(out, f, message);
  out.finish('\0');
}

}  // namespace zktrace
