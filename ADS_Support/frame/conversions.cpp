// Conversions between the thread's code set and UTF-8 with iconv. Each call
// opens its own converter, so nothing is shared between threads.
#include "frame/conversions.h"

#include <iconv.h>
#include <langinfo.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

namespace txads {
namespace {

// glibc's ASCII code set name for the "C" locale.
bool passes_through(const std::string& code_set) {
  return code_set == "UTF-8" || code_set == "ANSI_X3.4-1968" || code_set == "ASCII";
}

struct IconvClose {
  void operator()(iconv_t cd) const noexcept { iconv_close(cd); }
};
using Iconv = std::unique_ptr<std::remove_pointer_t<iconv_t>, IconvClose>;

// Converts all of `in`; `replacement` stands in for an unconvertible
// character, or the conversion fails when it is null.
std::optional<std::string> convert(std::string_view in, const char* to, const char* from,
                                   const char* replacement) {
  iconv_t raw = iconv_open(to, from);
  if (raw == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  Iconv cd(raw);

  std::string out;
  out.resize(in.size() * 4 + 16);
  char* src = const_cast<char*>(in.data());
  size_t src_left = in.size();
  size_t used = 0;
  while (src_left > 0) {
    char* dst = out.data() + used;
    size_t dst_left = out.size() - used;
    const size_t rc = iconv(cd.get(), &src, &src_left, &dst, &dst_left);
    used = out.size() - dst_left;
    if (rc != static_cast<size_t>(-1)) break;
    if (errno == E2BIG) {
      out.resize(out.size() * 2);
    } else if ((errno == EILSEQ || errno == EINVAL) && replacement != nullptr) {
      // Skip one UTF-8 character of the source and put the replacement in.
      size_t skip = 1;
      while (skip < src_left && (static_cast<unsigned char>(src[skip]) & 0xC0) == 0x80) ++skip;
      src += skip;
      src_left -= skip;
      const size_t r = std::strlen(replacement);
      if (out.size() - used < r) out.resize(out.size() * 2 + r);
      std::memcpy(out.data() + used, replacement, r);
      used += r;
    } else {
      return std::nullopt;
    }
  }
  // Stateful code sets need their closing shift sequence.
  for (;;) {
    char* dst = out.data() + used;
    size_t dst_left = out.size() - used;
    const size_t rc = iconv(cd.get(), nullptr, nullptr, &dst, &dst_left);
    used = out.size() - dst_left;
    if (rc != static_cast<size_t>(-1)) break;
    if (errno != E2BIG) return std::nullopt;
    out.resize(out.size() * 2);
  }
  out.resize(used);
  return out;
}

bool ascii(std::string_view s) {
  return std::all_of(s.begin(), s.end(),
                     [](char c) { return (static_cast<unsigned char>(c) & 0x80) == 0; });
}

// ASCII text, as most paths and names are, is valid without a converter.
bool valid_utf8(std::string_view s) {
  return ascii(s) || convert(s, "UTF-8", "UTF-8", nullptr).has_value();
}

}  // namespace

std::string thread_code_set() {
  // glibc's nl_langinfo reads the calling thread's locale (uselocale).
  const char* cs = nl_langinfo(CODESET);
  return cs ? cs : "ANSI_X3.4-1968";
}

std::optional<std::string> to_directory(const char* text) {
  if (text == nullptr) return std::nullopt;
  const std::string code_set = thread_code_set();
  std::string_view in(text);
  if (passes_through(code_set)) {
    if (!valid_utf8(in)) return std::nullopt;
    return std::string(in);
  }
  return convert(in, "UTF-8", code_set.c_str(), nullptr);
}

std::string from_directory(std::string_view utf8) {
  const std::string code_set = thread_code_set();
  if (passes_through(code_set)) return std::string(utf8);
  auto out = convert(utf8, code_set.c_str(), "UTF-8", "?");
  return out ? *out : std::string();
}

}  // namespace txads
