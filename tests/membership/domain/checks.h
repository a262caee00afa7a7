// Caller buffers for the checks, with guard bytes after their length so
// that a write past the length is caught.
#pragma once

#include <string>

namespace membership_test {

// A caller's buffer of `length` bytes pre-filled with 'x', followed by eight
// guard bytes.
class GuardedBuffer {
 public:
  explicit GuardedBuffer(int length = 512)
      : bytes_(static_cast<size_t>(length > 0 ? length : 0) + 8, 'x'), length_(length) {}
  char* data() { return bytes_.data(); }
  int length() const { return length_; }
  // The text up to the first zero byte or the length.
  std::string text() const;
  bool untouched() const { return bytes_.find_first_not_of('x') == std::string::npos; }
  bool guards_intact() const;

 private:
  std::string bytes_;
  int length_;
};

}  // namespace membership_test
