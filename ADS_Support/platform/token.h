// The calling user's access token, in the shape of the platform's token
// check. The token of a null handle is built for each call from the
// directory: the user's own SID (objectSid of the user object of the
// credential cache's principal, see current_account.h), the SIDs of the
// object's tokenGroups (every group it belongs to, nested and primary
// included, read with one base search), and the SIDs that every interactive
// domain logon carries:
//   S-1-1-0  Everyone            S-1-2-0   Local
//   S-1-5-4  Interactive         S-1-5-11  Authenticated Users
//   S-1-5-15 This Organization
// Thread-safe.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace txads {

// On success *is_member is 1 when `sid` (a binary SID, see
// security_types.h) is in the token, else 0. false with the thread's last
// error: ERROR_INVALID_HANDLE for a token other than null,
// ERROR_INVALID_PARAMETER for a null sid or flag, ERROR_INVALID_SID for
// bytes that are no SID, or an error of find_current_user.
bool CheckTokenMembership(void* token, const void* sid, int* is_member);

// The SIDs of the calling user's token as binary SIDs; 0 or a Win32 error.
uint32_t current_token_sids(std::vector<std::string>& sids);

}  // namespace txads
