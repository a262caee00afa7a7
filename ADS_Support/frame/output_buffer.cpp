// The strncpy rule for caller buffers; never writes outside [data, data + length).
#include "frame/output_buffer.h"

#include <cstring>

namespace txads {

void OutputBuffer::copy(std::string_view text) const {
  if (!usable()) return;
  const size_t n = static_cast<size_t>(length);
  const size_t take = text.size() < n ? text.size() : n;
  if (take > 0) std::memcpy(data, text.data(), take);
  if (take < n) std::memset(data + take, 0, n - take);
}

std::string_view OutputBuffer::current() const {
  if (!usable()) return {};
  return {data, strnlen(data, static_cast<size_t>(length))};
}

}  // namespace txads
