// The directory objects of the current user (the credential cache's
// principal) and of the current station (the computer account "NAME$" of
// the host's NetBIOS name). Every call asks the directory afresh.
// Thread-safe.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "directory/search.h"

namespace txads {

// The host name's first label, upper case, at most 15 characters; "" when
// the host has no name.
std::string netbios_name();

// The user object of the cache's principal: the object whose
// userPrincipalName is name@realm or whose sAMAccountName is the name, in
// the realm's domain. 0 with the entry (the DN plus `attributes`), else the
// Win32 error: ERROR_NO_SUCH_LOGON_SESSION, ERROR_CONTEXT_EXPIRED (see
// kerberos_cache.h), ERROR_NO_SUCH_USER, ERROR_NO_SUCH_DOMAIN.
uint32_t find_current_user(const std::vector<std::string>& attributes, directory::Entry& entry);

// The computer object "NAME$" in the configured domain. 0 with the entry,
// else ERROR_NO_TRUST_SAM_ACCOUNT, ERROR_NO_SUCH_DOMAIN.
uint32_t find_current_station(const std::vector<std::string>& attributes, directory::Entry& entry);

}  // namespace txads
