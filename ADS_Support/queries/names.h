// The names that the queries cut and check: the entry listed for a relative
// name, and the attribute names accepted for reading. Pure functions on UTF-8
// text; thread-safe.
#pragma once

#include <string>
#include <string_view>

namespace txads::queries {

// A relative name as listed: everything after the first "CN=" (any case);
// a name without "CN=" whole. Escapes stay ("CN=Smith\, Ann" lists as
// "Smith\, Ann").
std::string entry_name(std::string_view relative_name);

// Whether name has the form of an attribute description: a name or an OID,
// then options after ";" ("userCertificate;binary"). Filter characters,
// spaces and "=" make it malformed.
bool is_attribute_description(std::string_view name);

}  // namespace txads::queries
