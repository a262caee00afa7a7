// libzktrace.so: the two exported functions. Each call formats its line in
// storage of its own and hands it to the destination in one piece; errno is
// the caller's again when the call returns. Thread-safe, lock-free.
#include "zktrace.h"

#include <errno.h>
#include <unistd.h>

#include <cstdarg>
#include <ctime>

#include "destination.h"
#include "product_name.h"
#include "text_buffer.h"
#include "trace_line.h"

namespace {

class ErrnoKeeper {
 public:
  ErrnoKeeper() : saved_(errno) {}
  ErrnoKeeper(const ErrnoKeeper&) = delete;
  ErrnoKeeper& operator=(const ErrnoKeeper&) = delete;
  ~ErrnoKeeper() { errno = saved_; }

 private:
  int saved_;
};

}  // namespace

extern "C" ZKTRACE_API void ZKTraceSetProduct(const char* product) {
  ErrnoKeeper keep;
  zktrace::set_product(product);
}

extern "C" ZKTRACE_API void ZKTrace(int level, const char* component, const char* format, ...) {
  ErrnoKeeper keep;
  if (format == nullptr) return;
  const zktrace::Target target = zktrace::current_target();
  if (target.sink == zktrace::Sink::kNone) return;

  zktrace::LineFields fields;
  clock_gettime(CLOCK_REALTIME, &fields.time);
  fields.thread_id = static_cast<long>(::gettid());
  fields.product = zktrace::current_product();
  fields.component = component;
  fields.level = level;

  zktrace::TextBuffer message;
  va_list args;
  va_start(args, format);
  zktrace::format_message(message, format, args);
  va_end(args);

  zktrace::TextBuffer line;
  if (target.sink == zktrace::Sink::kFile) {
    zktrace::compose_file_line(line, fields, message);
    zktrace::write_file(target.fd, line.data(), line.size());
  } else {
    zktrace::compose_syslog_datagram(line, fields, program_invocation_short_name, ::getpid(),
                                     message);
    zktrace::send_syslog(line.data(), line.size());
  }
}
