// Case folding of the caller's 8-bit text for the account translations:
// ASCII letters only; bytes above 127 stay as they are, so text in any code
// set keeps its meaning and the directory decides how it compares them.
// Pure functions; thread-safe.
#pragma once

#include <string>
#include <string_view>

namespace txads {

inline std::string ascii_upper(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

inline std::string ascii_lower(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

}  // namespace txads
