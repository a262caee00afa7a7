// Fd: the owner of one file descriptor, closed when the owner goes unless it
// was released. Movable, not copyable; not shared between threads.
#pragma once

#include <unistd.h>

#include <utility>

namespace txads {

class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  Fd(Fd&& other) noexcept : fd_(other.release()) {}
  Fd& operator=(Fd&& other) noexcept {
    reset(other.release());
    return *this;
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  ~Fd() { reset(); }

  int get() const { return fd_; }
  // Closes the descriptor held (if any) and holds fd instead.
  void reset(int fd = -1) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }
  // Hands the descriptor to the caller, who closes it.
  int release() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

}  // namespace txads
