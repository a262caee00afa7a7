// What the exports read from a caller's LDAP path before anything is bound:
// whether it holds more than "LDAP://", and where its distinguished name
// starts (its first "CN=", in any case). Pure functions; thread-safe.
#pragma once

#include <cstring>
#include <string>
#include <string_view>

#include "frame/ascii_case.h"

namespace txads {

// The length of "LDAP://", the provider prefix of every path.
inline constexpr size_t kProviderPrefixLength = 7;

// Whether the path is long enough to hold "LDAP://" and something after it.
// A null path is not.
inline bool longer_than_provider_prefix(std::string_view path) {
  return path.size() > kProviderPrefixLength;
}
inline bool longer_than_provider_prefix(const char* path) {
  return path != nullptr && strnlen(path, kProviderPrefixLength + 1) > kProviderPrefixLength;
}

// The offset of the first "CN=" (any case), or npos.
inline size_t first_cn(std::string_view path) {
  return ascii_upper(path).find("CN=");
}

// A path cut to begin at its first "CN=" and upper-cased, which drops
// "LDAP://" and a server part: "LDAP://dc1/cn=Sales,DC=corp" gives
// "CN=SALES,DC=CORP". A path without "CN=" stays whole, in its own case.
inline std::string upper_dn_from_first_cn(std::string_view path) {
  const size_t at = first_cn(path);
  return at == std::string_view::npos ? std::string(path) : ascii_upper(path.substr(at));
}

}  // namespace txads
