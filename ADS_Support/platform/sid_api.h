// The platform's SID functions with their names and contracts. Each sets the
// thread's last error (frame/last_error.h) when it fails: ERROR_INVALID_PARAMETER
// for a missing argument or a sub-authority count over 8 (allocation),
// ERROR_INVALID_SID for bytes or text that are not a SID,
// ERROR_NOT_ENOUGH_MEMORY when memory runs out. Thread-safe.
//
// Memory: a SID from AllocateAndInitializeSid is released with FreeSid; a SID
// or text from the Convert functions with LocalFree.
#pragma once

#include "platform/security_types.h"

namespace txads {

BOOL AllocateAndInitializeSid(const SID_IDENTIFIER_AUTHORITY* authority, BYTE count, DWORD sub0,
                              DWORD sub1, DWORD sub2, DWORD sub3, DWORD sub4, DWORD sub5,
                              DWORD sub6, DWORD sub7, PSID* sid);
// Always returns null.
void* FreeSid(PSID sid);
// 8 + 4 bytes per sub-authority.
DWORD GetSidLengthRequired(BYTE count);
BOOL IsValidSid(PSID sid);
// The size of a valid SID in bytes; 0 for an invalid one.
DWORD GetLengthSid(PSID sid);

BOOL ConvertSidToStringSidA(PSID sid, char** text);
BOOL ConvertStringSidToSidA(const char* text, PSID* sid);
// Always returns null.
HLOCAL LocalFree(HLOCAL memory);

}  // namespace txads
