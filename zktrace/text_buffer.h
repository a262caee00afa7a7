// TextBuffer: text built in place for one trace line. It starts in storage
// inside the object (no allocation for ordinary lines) and moves to the heap
// only when asked to reserve more. It never throws: whatever does not fit is
// cut, and the cut is remembered so that the line can say so. Not shared.
#pragma once

#include <cstddef>

namespace zktrace {

class TextBuffer {
 public:
  TextBuffer() = default;
  TextBuffer(const TextBuffer&) = delete;
  TextBuffer& operator=(const TextBuffer&) = delete;
  ~TextBuffer();

  // Grows the capacity to at least `bytes`; false (capacity unchanged) when
  // memory is short. Keeps the text written so far.
  bool reserve(size_t bytes) noexcept;

  // Appends, cutting at the capacity less the room kept for finish().
  void append(const char* text, size_t length) noexcept;
  void append(const char* text) noexcept;
  void append(char c) noexcept { append(&c, 1); }
  // Line breaks as "\n" and "\r", other control bytes as "\xNN", so that
  // one trace call stays one line.
  void append_escaped(const char* text, size_t length) noexcept;
  // Like append_escaped, and "|" (the field separator) as "/".
  void append_field(const char* text) noexcept;

  // Ends the text: "..." when anything was cut, then `last` if not 0.
  void finish(char last) noexcept;

  // Writable space for a caller that formats in place (vsnprintf).
  char* raw() noexcept { return buf_; }
  size_t capacity() const noexcept { return cap_; }
  void set_size(size_t size, bool cut) noexcept;
  // Records that text was lost before it reached this buffer.
  void mark_cut() noexcept { cut_ = true; }
  void trim_trailing_line_breaks() noexcept;

  const char* data() const noexcept { return buf_; }
  size_t size() const noexcept { return len_; }
  bool cut() const noexcept { return cut_; }

 private:
  static constexpr size_t kTail = 4;  // "..." and the final character
  char local_[2048];
  char* heap_ = nullptr;
  char* buf_ = local_;
  size_t cap_ = sizeof local_;
  size_t len_ = 0;
  bool cut_ = false;
};

}  // namespace zktrace
