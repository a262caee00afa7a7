#include "queries/list_buffer.h"

#include <cstring>

namespace txads::queries {

ListBuffer::ListBuffer(char* data, int length)
    : data_(data), length_(data != nullptr ? length : 0), end_(0) {
  if (data_ != nullptr && length_ > 0)
    end_ = static_cast<int64_t>(strnlen(data_, static_cast<size_t>(length_)));
}

bool ListBuffer::append_entry(std::string_view entry) {
  const int64_t size = static_cast<int64_t>(entry.size());
  if (end_ + size + 2 > length_) return false;
  char* at = data_ + end_;
  std::memcpy(at, entry.data(), entry.size());
  at[size] = '|';
  at[size + 1] = '\0';
  end_ += size + 1;
  return true;
}

}  // namespace txads::queries
