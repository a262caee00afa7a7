// Caller buffers and seeded names for the membership tests.
#include "checks.h"

#include <cstring>

#include "scratch_directory.h"

namespace membership_test {

std::string GuardedBuffer::text() const {
  const size_t n = static_cast<size_t>(length_ > 0 ? length_ : 0);
  return std::string(bytes_.data(), strnlen(bytes_.data(), n));
}

bool GuardedBuffer::guards_intact() const {
  return bytes_.compare(bytes_.size() - 8, 8, "xxxxxxxx") == 0;
}

std::string seeded(const std::string& relative_dn) {
  return relative_dn + "," + base_dn();
}

}  // namespace membership_test
