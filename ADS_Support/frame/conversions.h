// String conversions between the caller's 8-bit text and the directory's
// UTF-8. The caller's code set is the calling thread's LC_CTYPE (uselocale is
// respected); in the "C" and "POSIX" locales bytes pass through as UTF-8.
// Thread-safe.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace txads {

// Caller text to UTF-8. A null pointer, or text that is not valid in the
// thread's code set, gives nullopt (never an empty string).
std::optional<std::string> to_directory(const char* text);

// UTF-8 to caller text. A character the code set cannot hold becomes "?".
std::string from_directory(std::string_view utf8);

// The thread's code set name as iconv knows it ("UTF-8", "ISO-8859-1", ...).
std::string thread_code_set();

}  // namespace txads
