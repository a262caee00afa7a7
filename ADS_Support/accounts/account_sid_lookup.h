// The account lookup of the translations and the SID rule: LookupAccountNameA
// on the local system, repeated while it asks for larger buffers.
// Thread-safe.
#pragma once

#include <vector>

namespace txads {

inline constexpr int kAccountLookupCalls = 6;

// The SID buffer starts at GetSidLengthRequired(2) bytes and the domain
// buffer at 260 characters; after a call that fails with
// ERROR_INSUFFICIENT_BUFFER each grows to the size that call reported. Any
// other failure, or a sixth call that still asks for more, ends the lookup.
// Returns the buffer holding the account's SID, or an empty one.
std::vector<unsigned char> look_up_account_sid(const char* account);

}  // namespace txads
