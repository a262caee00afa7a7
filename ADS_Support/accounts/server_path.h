// The server-qualified path of a distinguished name: "LDAP://" + the DNS name
// made of its DC= parts + "/" + the DN, or "LDAP://" + the DN when it has no
// DC= part; a "/" in the DN written "\/". CN=Admins,OU=Groups,DC=corp,DC=example,DC=com
// gives LDAP://corp.example.com/CN=Admins,OU=Groups,DC=corp,DC=example,DC=com.
// Text in and out is the caller's 8-bit text.
#pragma once

#include <string>
#include <string_view>

namespace txads {

std::string server_qualified_path(std::string_view dn);

}  // namespace txads
