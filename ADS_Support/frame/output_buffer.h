// OutputBuffer: a caller's char buffer and its length, filled by the
// strncpy rule. A zero or negative length, or a null pointer, writes nothing.
// The caller owns the memory; this type never keeps it past a call.
#pragma once

#include <string>
#include <string_view>

namespace txads {

struct OutputBuffer {
  char* data = nullptr;
  int length = 0;

  bool usable() const { return data != nullptr && length > 0; }

  // strncpy: the text's first `length` bytes, zero padding after a shorter one.
  void copy(std::string_view text) const;

  // The buffer's current text, read no further than its length.
  std::string_view current() const;
};

}  // namespace txads
