// Relative names of children named by the caller: "OU=Sales" or "cn=PC042"
// built from the caller's 8-bit name in a fixed working buffer, the account
// name of a new station, and the check that a relative name names exactly one
// direct child. Stateless; thread-safe.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "frame/status.h"

namespace txads {

// The working buffer a relative name is built in, terminator included.
inline constexpr size_t kRelativeNameBuffer = 300;
// The working buffer of a new station's account name ("%s$").
inline constexpr size_t kAccountNameBuffer = 260;

// A caller's path for the directory. A null path, or one that is not valid
// text in the thread's code set, becomes "" and so fails where it is bound.
std::string caller_path(const char* path);

// Builds prefix + name ("OU=" + "Sales") in UTF-8. kInvalidArg, with `rdn`
// left empty, when the name is null, not valid text in the thread's code set,
// or too long for the buffer (more than 296 bytes after "OU=" or "cn=").
// The name goes in as it stands: "a\,b" names the unit "a,b".
Status build_relative_name(std::string_view prefix, const char* name, std::string& rdn);

// A new station's account name: its name followed by "$", in UTF-8.
// kInvalidArg when the name is null, invalid or longer than 258 bytes.
Status build_account_name(const char* station, std::string& account);

}  // namespace txads
