// The connection pool: bound connections kept per (endpoint, Kerberos
// identity) and reused across calls and threads. A connection is lent to one
// thread at a time; a call made under another credential cache or principal
// gets its own connection. Thread-safe.
#pragma once

#include <cstddef>
#include <functional>

#include "directory/connection.h"
#include "frame/status.h"

namespace txads::directory {

// Runs `operation` on a connection to `endpoint` bound as the calling
// thread's identity. `operation` returns an LDAP result code and may run
// twice: when a kept connection turns out to have been closed by the server
// (LDAP_SERVER_DOWN), it runs once more on a new connection. Returns the
// open failure, or the mapped result of the last run.
Status with_connection(const Endpoint& endpoint, const std::function<int(Connection&)>& operation);

// Closes every kept connection (tests; a later call reconnects).
void drop_connections();

// How many connections are kept idle now (tests).
size_t kept_connections();

}  // namespace txads::directory
