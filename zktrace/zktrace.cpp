// The trace library: one whole line per write, from any thread.
//
// Destination: the file named by ZKTRACE_FILE (opened for appending on first
// use, one write(2) per line so that lines of several threads never
// interleave), else syslog at LOG_DEBUG. errno is preserved across both calls.
#include "zktrace.h"

#include <fcntl.h>
#include <sys/syscall.h>
#include <syslog.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>
#include <string>

namespace {

constexpr size_t kProductMax = 64;
constexpr size_t kLineMax = 4096;

// The product name; written rarely, read on every line.
std::mutex product_mutex;
char product[kProductMax] = "";

int trace_fd() {
  static const int fd = [] {
    const char* path = std::getenv("ZKTRACE_FILE");
    if (path == nullptr || *path == '\0') return -1;
    return ::open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  }();
  return fd;
}

bool use_file() {
  const char* path = std::getenv("ZKTRACE_FILE");
  return path != nullptr && *path != '\0';
}

class ErrnoKeeper {
 public:
  ErrnoKeeper() : saved_(errno) {}
  ~ErrnoKeeper() { errno = saved_; }

 private:
  int saved_;
};

}  // namespace

extern "C" ZKTRACE_API void ZKTraceSetProduct(const char* name) {
  ErrnoKeeper keep;
  std::lock_guard lock(product_mutex);
  std::snprintf(product, sizeof product, "%s", name ? name : "");
}

extern "C" ZKTRACE_API void ZKTrace(int level, const char* component, const char* format, ...) {
  ErrnoKeeper keep;
  if (format == nullptr) return;

  char message[kLineMax];
  va_list args;
  va_start(args, format);
  std::vsnprintf(message, sizeof message, format, args);
  va_end(args);
  size_t len = std::strlen(message);
  while (len > 0 && message[len - 1] == '\n') message[--len] = '\0';

  char name[kProductMax];
  {
    std::lock_guard lock(product_mutex);
    std::memcpy(name, product, sizeof name);
  }
  const char* comp = component ? component : "";

  if (!use_file()) {
    syslog(LOG_DEBUG, "[%s] %s %d: %s", name, comp, level, message);
    return;
  }
  const int fd = trace_fd();
  if (fd < 0) return;

  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  tm local{};
  localtime_r(&now.tv_sec, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);

  char line[kLineMax + 256];
  int n = std::snprintf(line, sizeof line, "%s.%03ld [%ld] %s | %s | %d | %s\n", stamp,
                        now.tv_nsec / 1000000L, static_cast<long>(::syscall(SYS_gettid)), name,
                        comp, level, message);
  if (n < 0) return;
  size_t total = static_cast<size_t>(n) < sizeof line ? static_cast<size_t>(n) : sizeof line - 1;
  line[total - 1] = '\n';
  // O_APPEND makes each write land whole at the end of the file.
  (void)!::write(fd, line, total);
}
