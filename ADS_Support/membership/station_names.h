// The names the station checks build from the caller's text:
//   station_rdn("pc042")                          -> "CN=PC042"
//   child_path("OU=Lab", "LDAP://OU=Site,DC=corp") -> "LDAP://OU=Lab,OU=Site,DC=corp"
// The station name goes in unescaped; the child's name is escaped as a path
// writes a dn ("OU=Sales/East" as "OU=Sales\/East"); the parent's scheme is
// found in any letter case, its text after it taken as written. Pure.
#pragma once

#include <string>

namespace txads::membership {

std::string station_rdn(const char* station);

// "" when the parent path has no "LDAP://" in any letter case.
std::string child_path(const std::string& name, const std::string& parent_path);

}  // namespace txads::membership
