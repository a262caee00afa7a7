// Who and where the library runs, in the shape of the platform's identity
// calls:
//   GetUserNameExA         - the user: the principal of the process's default
//                            Kerberos credential cache (KRB5CCNAME), whose
//                            ticket-granting ticket must still be valid,
//                            resolved to its user object in the directory.
//   GetComputerNameA       - the station's NetBIOS name: the host name's
//                            first label, upper case, at most 15 characters.
//   GetComputerObjectNameA - the station's computer object ("NAME$").
// Each returns false with the thread's last error set on failure:
//   ERROR_NO_SUCH_LOGON_SESSION  no credential cache, no principal or no ticket in it
//   ERROR_CONTEXT_EXPIRED        tickets, but no valid ticket-granting ticket
//   ERROR_NO_SUCH_USER           no user object for the principal
//   ERROR_NO_TRUST_SAM_ACCOUNT   no computer object for the station
//   ERROR_NO_SUCH_DOMAIN         the directory could not be asked
//   ERROR_MORE_DATA / ERROR_BUFFER_OVERFLOW  the buffer is too small
//   ERROR_INVALID_PARAMETER      a null size, or a format other than the DN
// Buffer protocol: *size is the buffer's size on entry; on success the text
// and a terminating zero are written and *size is the text's length; when it
// does not fit, nothing is written and *size is the size needed (with the
// zero). Texts are in the caller's 8-bit code set. Thread-safe.
#pragma once

#include <cstdint>

namespace txads {

enum EXTENDED_NAME_FORMAT { NameFullyQualifiedDN = 1 };

bool GetUserNameExA(EXTENDED_NAME_FORMAT format, char* buffer, uint32_t* size);
bool GetComputerNameA(char* buffer, uint32_t* size);
bool GetComputerObjectNameA(EXTENDED_NAME_FORMAT format, char* buffer, uint32_t* size);

}  // namespace txads
