// The step that the value query and the group list share: translate a
// caller's domain\name through the global catalog into the account's
// distinguished name. Stateless; thread-safe.
#pragma once

#include <string>

#include "directory/ads.h"
#include "frame/status.h"

namespace txads::queries {

// Sets the caller's account name (8-bit text in the thread's code set) as
// ADS_NAME_TYPE_NT4 on an initialised translator and gets its distinguished
// name (UTF-8). A null name, or one not valid in the code set, gives
// kInvalidArg without asking the directory; any other failure is the
// translator's.
Status account_dn(directory::NameTranslate& translator, const char* account, std::string& dn);

}  // namespace txads::queries
