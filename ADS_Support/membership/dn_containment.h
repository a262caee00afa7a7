// The DN containment test: does an object lie in a container or anywhere
// below it? Decided on text alone: the container's DN (the text after the
// first "LDAP://" of its path, case-sensitive scheme), upper-cased and
// without backslashes, occurs in the object's DN folded the same way.
//
//   CN=Ann,OU=Dev,OU=Staff,DC=corp  in  LDAP://ou=staff,dc=corp   -> 1
//   same DN                         in  LDAP://OU=Sales,DC=corp   -> 2
//   any DN                          in  ldap://OU=Staff,DC=corp   -> -1
//
// A server part stays in the container DN and so never matches. An empty
// container DN ("LDAP://" with nothing after it) gives no answer. Pure.
#pragma once

#include <string_view>

namespace txads::membership {

// 1 contained, 2 not contained, -1 no container DN in the path.
int dn_containment(std::string_view object_dn, std::string_view container_path);

}  // namespace txads::membership
