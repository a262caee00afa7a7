// Text helpers of the membership checks.
#include "membership/results.h"

#include <algorithm>

namespace txads::membership {

std::string upper_case(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

std::string lower_case(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

std::string without_backslashes(std::string_view text) {
  std::string out(text);
  out.erase(std::remove(out.begin(), out.end(), '\\'), out.end());
  return out;
}

}  // namespace txads::membership
