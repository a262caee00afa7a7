// Whether a distinguished name is another or lies below it, as the directory
// compares names (ASCII letters without case): "CN=a,DC=corp" lies within
// "dc=corp"; "CN=a,XDC=corp" does not. Pure function; thread-safe.
#pragma once

#include <string_view>

#include "frame/ascii_case.h"

namespace txads::directory {

inline bool dn_within(std::string_view dn, std::string_view suffix) {
  if (dn.size() < suffix.size()) return false;
  if (!equal_ignoring_case(dn.substr(dn.size() - suffix.size()), suffix)) return false;
  return dn.size() == suffix.size() || dn[dn.size() - suffix.size() - 1] == ',';
}

}  // namespace txads::directory
