// Whether the dn a server answered with names the object a caller asked for.
// A server may answer for another object than the one named (it reads a dn
// only up to a zero byte, or without its escaped trailing space), so every
// bind compares the two before the object is used. Pure; thread-safe.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace txads::directory {

// True when both are LDAPv3 dns with the same RDNs: attribute types equal
// without ASCII case, values equal after their escapes are read ("\2C" is
// ","), letters compared without case (Unicode simple case folding of
// UTF-8; other bytes exactly). "OU=Lab\20,DC=corp" is not "OU=Lab,DC=corp".
// Identical texts are the same without being parsed: a caller asks with a dn
// it has parsed.
bool same_dn(std::string_view asked, std::string_view answered);

// The value of the dn's first RDN with its escapes read ("CN=a\2Cb,DC=x"
// gives "a,b"); nothing when that RDN has several values or a binary one, or
// the dn does not parse.
std::optional<std::string> first_rdn_value(std::string_view dn);

}  // namespace txads::directory
