// The connection pool: bound connections kept per (endpoint, Kerberos
// identity) and reused across calls and threads. A connection is lent to one
// thread at a time; a call made under another credential cache or principal
// gets its own connection. Thread-safe.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

#include "directory/connection.h"
#include "frame/status.h"

namespace txads::directory {

// Runs `operation` on a connection to one of the endpoint's servers
// (servers.h) bound as the calling thread's identity. `operation` returns an
// LDAP result code and may run more than once: when a kept connection turns
// out to have been closed (LDAP_SERVER_DOWN) or the server stops answering
// (LDAP_CONNECT_ERROR), it runs again on a new connection, to the next
// server when one was lost. Servers found lost are avoided by every thread
// for a while (avoided_servers.h). Every wait lasts at most the time left
// in the export call, and a server that failed in the call is not tried
// again in it (call_budget.h). Returns the open failure, or the mapped
// result of the last run: server down when no server answered in time.
Status with_connection(const Endpoint& endpoint, const std::function<int(Connection&)>& operation);

// A connection lent for longer than one operation (a paged enumeration).
// Given back to the pool when the lease ends, or closed after a client-side
// failure. Used by one thread at a time.
class Lease {
 public:
  Lease() = default;
  Lease(Lease&&) noexcept = default;
  Lease& operator=(Lease&& other) noexcept;
  ~Lease() { end(LDAP_SUCCESS); }

  // As with_connection, except that the connection stays lent to this lease
  // once `operation` has reached the server (any result code but libldap's
  // negative client-side ones).
  Status open(const Endpoint& endpoint, const std::function<int(Connection&)>& operation);
  Connection* connection() const { return connection_.get(); }
  // Ends the lease: the connection goes back to the pool, or is closed when
  // `ldap_result` is a client-side failure (server down, timeout, ...).
  void end(int ldap_result);

 private:
  std::string key_;
  std::unique_ptr<Connection> connection_;
};

// Closes every kept connection (tests; a later call reconnects).
void drop_connections();

// How many connections are kept idle now (tests).
size_t kept_connections();

}  // namespace txads::directory
