// TextBuffer: bounded appends with escaping; see text_buffer.h.
#include "text_buffer.h"

#include <cstring>
#include <new>

namespace zktrace {

TextBuffer::~TextBuffer() {
  delete[] heap_;
}

bool TextBuffer::reserve(size_t bytes) noexcept {
  if (bytes <= cap_) return true;
  char* grown = new (std::nothrow) char[bytes];
  if (grown == nullptr) return false;
  std::memcpy(grown, buf_, len_);
  delete[] heap_;
  heap_ = grown;
  buf_ = grown;
  cap_ = bytes;
  return true;
}

void TextBuffer::append(const char* text, size_t length) noexcept {
  const size_t room = cap_ - kTail - len_;
  if (length > room) {
    length = room;
    cut_ = true;
  }
  std::memcpy(buf_ + len_, text, length);
  len_ += length;
}

void TextBuffer::append(const char* text) noexcept {
  append(text, std::strlen(text));
}

void TextBuffer::append_escaped(const char* text, size_t length) noexcept {
  static constexpr char kHex[] = "0123456789ABCDEF";
  for (size_t i = 0; i < length && !cut_; ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == '\n') {
      append("\\n", 2);
    } else if (c == '\r') {
      append("\\r", 2);
    } else if (c < 0x20 || c == 0x7F) {
      const char escaped[4] = {'\\', 'x', kHex[c >> 4], kHex[c & 0xF]};
      append(escaped, sizeof escaped);
    } else {
      append(text[i]);
    }
  }
}

void TextBuffer::append_field(const char* text) noexcept {
  for (const char* p = text; *p != '\0' && !cut_; ++p) {
    if (*p == '|') {
      append('/');
    } else {
      append_escaped(p, 1);
    }
  }
}

void TextBuffer::finish(char last) noexcept {
  // kTail bytes are always free here: append never uses them.
  if (cut_) {
    std::memcpy(buf_ + len_, "...", 3);
    len_ += 3;
  }
  if (last != '\0') buf_[len_++] = last;
}

void TextBuffer::set_size(size_t size, bool cut) noexcept {
  len_ = size < cap_ - kTail ? size : cap_ - kTail;
  cut_ = cut || size > len_;
}

void TextBuffer::trim_trailing_line_breaks() noexcept {
  while (len_ > 0 && (buf_[len_ - 1] == '\n' || buf_[len_ - 1] == '\r')) --len_;
}

}  // namespace zktrace
