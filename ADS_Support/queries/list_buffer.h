// ListBuffer: a caller's list buffer that entries are appended to, each
// followed by "|" and a terminating zero. The text already in the buffer is
// kept and counted against the length; it is measured no further than the
// length, so an unterminated buffer is never read past its end. A null
// buffer counts as length 0. Nothing is ever written past the length.
// Borrows the caller's memory for one call; not shared between threads.
#pragma once

#include <cstdint>
#include <string_view>

namespace txads::queries {

class ListBuffer {
 public:
  ListBuffer(char* data, int length);

  // The caller's length (0 for a null buffer); negative stays negative.
  int64_t length() const { return length_; }
  // Characters in the buffer now: the text on entry plus everything appended.
  int64_t text_length() const { return end_; }

  // Appends entry, "|" and a zero byte when all three fit; false (and
  // nothing written) otherwise.
  bool append_entry(std::string_view entry);

 private:
  char* data_;
  int64_t length_;
  int64_t end_;
};

}  // namespace txads::queries
