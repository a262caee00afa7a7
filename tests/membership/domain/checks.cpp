// Caller buffers for the membership tests.
#include "checks.h"

#include <cstring>

namespace membership_test {

std::string GuardedBuffer::text() const {
  const size_t n = static_cast<size_t>(length_ > 0 ? length_ : 0);
  return std::string(bytes_.data(), strnlen(bytes_.data(), n));
}

bool GuardedBuffer::guards_intact() const {
  return bytes_.compare(bytes_.size() - 8, 8, "xxxxxxxx") == 0;
}

}  // namespace membership_test
