// The one translation of LDAP result codes into HRESULTs: LDAP result ->
// Win32 ERROR_DS_* -> HRESULT_FROM_WIN32, as the platform's LDAP provider
// gives them (no such object 0x80072030, server down 0x8007203A, ...).
// Constant table; thread-safe.
#pragma once

#include <cstdint>

#include "frame/status.h"

namespace txads::directory {

// The Win32 code for an LDAP result code (libldap's negative client codes
// included); ERROR_DS_GENERIC_ERROR for a code without a row.
uint32_t win32_from_ldap(int ldap_result);

// HRESULT_FROM_WIN32(win32_from_ldap(ldap_result)); S_OK for LDAP_SUCCESS.
Status status_from_ldap(int ldap_result);

}  // namespace txads::directory
