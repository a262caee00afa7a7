// Text helpers of the membership checks.
#include "membership/results.h"

#include <algorithm>

namespace txads::membership {

std::string without_backslashes(std::string_view text) {
  std::string out(text);
  out.erase(std::remove(out.begin(), out.end(), '\\'), out.end());
  return out;
}

}  // namespace txads::membership
