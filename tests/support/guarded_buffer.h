// A caller's buffer for the exports: `length` bytes filled with `fill`,
// followed by guard bytes that no export may touch, so that a write past the
// length is caught. One per output or error buffer of a call.
#pragma once

#include <string>

namespace txads_test {

class GuardedBuffer {
 public:
  explicit GuardedBuffer(int length = 512, char fill = '#');
  char* data() { return bytes_.data(); }
  int length() const { return length_; }
  // The bytes within the length, zero bytes included.
  std::string raw() const;
  // The text up to the first zero byte, never past the length.
  std::string text() const;
  // Nothing within the length was written.
  bool untouched() const;
  // Nothing past the length was written.
  bool guards_intact() const;

 private:
  static constexpr size_t kGuard = 16;
  int length_;
  char fill_;
  std::string bytes_;
};

}  // namespace txads_test
