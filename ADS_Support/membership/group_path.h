// The LDAP path that the member walks bind for the caller's group text, by
// its form (group_form.h). SID text is resolved through the export
// TXADGetNameFromSID (which traces its own entry line); an account name
// through the global catalog to a server-qualified path. Whatever fails to
// resolve is bound as given. Group texts are never null here. Thread-safe.
#pragma once

#include <string>

namespace txads::membership {

// The path that the user walk binds for the group text.
std::string user_group_path(const char* group);
// The path that the station walk binds for the group text.
std::string station_group_path(const char* group);

}  // namespace txads::membership
