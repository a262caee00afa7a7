// The one translation of LDAP result codes into HRESULTs: LDAP result ->
// Win32 ERROR_DS_* -> HRESULT_FROM_WIN32, as the platform's LDAP provider
// gives them (no such object 0x80072030, server down 0x8007203A, ...).
// Constant table; thread-safe.
#pragma once

#include <ldap.h>

#include <cstdint>

#include "frame/status.h"

namespace txads::directory {

// The Win32 code for an LDAP result code (libldap's negative client codes
// included); ERROR_DS_GENERIC_ERROR for a code without a row.
uint32_t win32_from_ldap(int ldap_result);

// HRESULT_FROM_WIN32(win32_from_ldap(ldap_result)); S_OK for LDAP_SUCCESS.
Status status_from_ldap(int ldap_result);

// The same for the result of an operation on `ld`. A failure also writes the
// server's diagnostic message, when the handle holds one, as a trace line of
// its own ("The directory answered 'Already exists': 00002071: ...") and
// clears it from the handle.
Status status_from_ldap(int ldap_result, LDAP* ld);

}  // namespace txads::directory
