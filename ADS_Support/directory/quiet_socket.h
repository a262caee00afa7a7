// Writes to a connection's socket that never raise SIGPIPE. liblber's TCP
// layer writes with write(2), and a write to a connection the server has
// closed or reset raises SIGPIPE, whose default action ends the host
// process; the layer put in its place sends with MSG_NOSIGNAL and is the
// same in every other respect. Every connection gets it once it is bound,
// so that no call needs to touch the thread's signal mask for its requests;
// what is written before (connecting, binding, the Kerberos exchange) runs
// under a SigpipeGuard (connection.cpp).
#pragma once

#include <ldap.h>

namespace txads::directory {

// Replaces the TCP layer of `ld`'s connection; a connection without one
// (not connected) is left as it is.
void send_quietly(LDAP* ld);

}  // namespace txads::directory
