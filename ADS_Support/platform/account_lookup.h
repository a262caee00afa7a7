// The platform's account lookups on the local system, answered from the
// well-known accounts (well_known_sids.h) and the directory
// (account_directory.h). Texts are in the calling thread's 8-bit code set.
// Thread-safe.
//
// Names: "DOMAIN\name" (NetBIOS or DNS name of a domain of the forest,
// "BUILTIN" or "NT AUTHORITY"), "\name" (well-known accounts without a
// domain, such as "\Everyone"), a bare "name" (well-known accounts, a
// domain's NetBIOS name, then the default domain and the other domains), and
// "name$" for a computer.
//
// Buffer protocol: each size is the buffer's size on entry (bytes for the
// SID, characters with the terminating zero for texts). When any buffer is
// too small (a null buffer counts as size 0), nothing is written, every size
// is set to the size needed and the call fails with ERROR_INSUFFICIENT_BUFFER.
// On success the SID size becomes the SID's length and each text size the
// text's length without its terminating zero.
//
// Last error on failure: ERROR_INVALID_PARAMETER (a null name, SID or size,
// or a system name other than the local system's null or empty one),
// ERROR_INVALID_SID (LookupAccountSidA of bytes that are not a SID),
// ERROR_NONE_MAPPED (no such account), ERROR_INSUFFICIENT_BUFFER, or the
// Win32 code of a directory failure (for example ERROR_DS_SERVER_DOWN).
#pragma once

#include <memory>
#include <string_view>

#include "platform/security_types.h"

namespace txads {

namespace directory {
class SearchAhead;
}

BOOL LookupAccountNameA(const char* system_name, const char* account_name, PSID sid,
                        DWORD* sid_size, char* domain_name, DWORD* domain_size, SID_NAME_USE* use);

// Asks, without waiting (directory/search_ahead.h), for what
// LookupAccountNameA of `account_name` ("DOMAIN\\name") reads; null when
// it reads nothing, or more than one domain's search.
std::unique_ptr<directory::SearchAhead> ask_account_lookup(std::string_view account_name);

BOOL LookupAccountSidA(const char* system_name, PSID sid, char* name, DWORD* name_size,
                       char* domain_name, DWORD* domain_size, SID_NAME_USE* use);

}  // namespace txads
