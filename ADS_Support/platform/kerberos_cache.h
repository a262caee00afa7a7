// The principal of the process's default Kerberos credential cache
// (KRB5CCNAME, else the library's default), the identity of "the current
// user" everywhere in the library. Thread-safe: every call opens its own
// context and cache.
#pragma once

#include <cstdint>
#include <string>

namespace txads {

struct CachePrincipal {
  std::string name;   // the principal without its realm, e.g. "alice"
  std::string realm;  // e.g. "CORP.EXAMPLE.COM"
};

// 0 with the principal, or the Win32 error to report:
// ERROR_NO_SUCH_LOGON_SESSION when there is no cache, no principal in it or
// no ticket at all, ERROR_CONTEXT_EXPIRED when it holds tickets but no
// unexpired ticket-granting ticket.
uint32_t current_principal(CachePrincipal& principal);

}  // namespace txads
