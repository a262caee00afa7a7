// What the change tests check besides result codes: the caller's error
// buffer (untouched, or holding exactly one text, and never written past its
// length), the text an error code leaves in it, and a picture of a subtree
// (every object with its change stamp) that shows what a call changed.
// Pictures are read with the directory's own tools (tests/support).
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "frame/status.h"

namespace changes_test {

// A caller's error buffer of `length` bytes, filled with '#' before the call
// and followed by guard bytes. A test fails if a guard byte was written.
class ErrorBuffer {
 public:
  explicit ErrorBuffer(int length = 256);
  ~ErrorBuffer();
  ErrorBuffer(const ErrorBuffer&) = delete;
  ErrorBuffer& operator=(const ErrorBuffer&) = delete;

  char* data() { return bytes_.data(); }
  int length() const { return length_; }
  bool untouched() const;    // every byte still '#'
  std::string text() const;  // up to the first zero byte, never past the length

 private:
  std::string bytes_;
  int length_;
};

// The text an error code leaves in an error buffer of `length` bytes.
std::string text_of(txads::Status status, int length = 256);

// Every object at and below `dn` with its uSNChanged, by DN.
using Picture = std::map<std::string, std::string>;
Picture picture(std::string_view dn);

// The DNs in `after` but not in `before`, and the other way round, joined
// with "; " in DN order; "" when there are none.
std::string added(const Picture& before, const Picture& after);
std::string removed(const Picture& before, const Picture& after);
// DNs present in both whose change stamp moved.
std::string changed(const Picture& before, const Picture& after);

}  // namespace changes_test
