// The result codes shared by every membership check, and the text helpers
// with which the checks compare names (case folding is frame/ascii_case.h).
// Pure functions; thread-safe.
#pragma once

#include <string>
#include <string_view>

namespace txads::membership {

inline constexpr int kMember = 1;     // found
inline constexpr int kNotMember = 2;  // looked, not found
inline constexpr int kNoAnswer = -1;  // could not look

// The text with every backslash removed.
std::string without_backslashes(std::string_view text);

inline bool contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

// A caller's input string: null reads as the empty text.
inline const char* or_empty(const char* text) {
  return text ? text : "";
}

}  // namespace txads::membership
