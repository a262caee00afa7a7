#include "support/guarded_buffer.h"

#include <algorithm>
#include <cstring>

namespace txads_test {
namespace {
constexpr char kGuardByte = '\x5a';
}

GuardedBuffer::GuardedBuffer(int length, char fill)
    : length_(length), fill_(fill), bytes_(static_cast<size_t>(std::max(length, 0)), fill) {
  bytes_.append(kGuard, kGuardByte);
}

std::string GuardedBuffer::raw() const {
  return bytes_.substr(0, static_cast<size_t>(std::max(length_, 0)));
}

std::string GuardedBuffer::text() const {
  const std::string within = raw();
  return within.substr(0, within.find('\0'));
}

bool GuardedBuffer::untouched() const {
  return raw().find_first_not_of(fill_) == std::string::npos;
}

bool GuardedBuffer::guards_intact() const {
  return bytes_.compare(bytes_.size() - kGuard, kGuard, std::string(kGuard, kGuardByte)) == 0;
}

}  // namespace txads_test
