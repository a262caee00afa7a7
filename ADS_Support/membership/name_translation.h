// One name translation on the global catalog, as the membership checks run
// it: a fresh translation object, init, set in one form, get in the other.
// Thread-safe (nothing shared between calls).
#pragma once

#include <string>

#include "directory/ads.h"
#include "frame/status.h"

namespace txads::membership {

// Translates the caller's text `name` from one form to the other. The first
// failing step's status comes back (kInvalidArg for a null name or text the
// thread's code set cannot hold); `translated` (caller text) is written only
// on success.
Status translate_name(const char* name, directory::NameType from, directory::NameType to,
                      std::string& translated);

}  // namespace txads::membership
