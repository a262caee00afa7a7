// How distinguished names are shown to the operator: the name of an entry
// and the folder it lies in, in the form "corp.example.com/Staff/Dev".
// Pure functions on UTF-8 text; thread-safe.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace txads::dialog {

// The RDNs of a dn, in order, as they stand ("OU=Dev", "CN=Smith\, John").
// A comma escaped with a backslash does not split.
std::vector<std::string> split_dn(std::string_view dn);

// The value of one RDN with its escapes resolved: "CN=Smith\, John" gives
// "Smith, John", "CN=J\C3\BCrgen" gives "Jürgen".
std::string rdn_value(std::string_view rdn);

// Where an entry lies: the DNS name of its domain, then the names of the
// entries above it from the top down, joined with "/".
// "CN=Nest1,OU=Groups,DC=corp,DC=example,DC=com" gives
// "corp.example.com/Groups".
std::string folder_of(std::string_view dn);

// The entry's own place in the same form: its folder, then its name.
// "OU=Lab,OU=Site,DC=corp,DC=example,DC=com" gives "corp.example.com/Site/Lab";
// a domain's dn gives its DNS name.
std::string path_of(std::string_view dn);

// The label of a group type in the operator's language: "Global security
// group" and so on; "" for a type that is not a security group of universal,
// global or domain-local scope.
std::string group_type_label(int32_t group_type);

// Whether the group type is one the picker offers.
bool is_offered_group_type(int32_t group_type);

}  // namespace txads::dialog
