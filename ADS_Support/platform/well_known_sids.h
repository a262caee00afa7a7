// The well-known SIDs that belong to no directory domain: the world and
// creator SIDs (empty domain name), the NT AUTHORITY names and the BUILTIN
// aliases, with the names and account types the platform gives them.
// Constant table; thread-safe.
#pragma once

#include <optional>
#include <string_view>

#include "platform/security_types.h"
#include "platform/sid.h"

namespace txads {

struct WellKnownAccount {
  const char* sid;     // text form
  const char* domain;  // "", "NT AUTHORITY" or "BUILTIN"
  const char* name;
  SID_NAME_USE use;
};

inline constexpr std::string_view kBuiltinDomain = "BUILTIN";
inline constexpr std::string_view kNtAuthorityDomain = "NT AUTHORITY";

std::optional<WellKnownAccount> well_known_by_sid(const Sid& sid);

// Names compare without regard to ASCII case. With `domain` absent (a bare
// name) every entry's name is tried; with a domain (possibly empty) only
// the entries of that domain.
std::optional<WellKnownAccount> well_known_by_name(std::optional<std::string_view> domain,
                                                   std::string_view name);

// True for S-1-5-32 and the SIDs below it.
bool is_builtin_sid(const Sid& sid);

}  // namespace txads
