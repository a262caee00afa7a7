// Every LDAP handle of the library is made here.
#pragma once

#include <string>

#include "directory/ldap_owners.h"

namespace txads::directory {

// A new handle for `uri` ("" for the configured servers), configured from
// ldap.conf, LDAPRC and the environment. libldap sets up its process-wide
// options on first use without a lock; the first call of the process does
// that alone, so that threads making their first handles at once do not race.
int new_ldap_handle(const std::string& uri, LdapHandle& ld);

}  // namespace txads::directory
