// One bound LDAP connection to a directory server, opened in named steps:
// connect, read the root DSE anonymously, move to the controller's own host
// name when the server was reached under another one (a domain's DNS name,
// an address), bind with SASL under the caller's Kerberos identity.
// Owned by the connection pool; used by one thread at a time.
#pragma once

#include <ldap.h>

#include <memory>
#include <string>

#include "directory/identity.h"
#include "directory/ldap_owners.h"
#include "directory/ldap_path.h"
#include "directory/servers.h"
#include "frame/status.h"

namespace txads::directory {

struct RootDse {
  std::string dns_host_name;
  std::string default_naming_context;
  std::string configuration_naming_context;
  std::string schema_naming_context;
  std::string root_domain_naming_context;
};

class Connection {
 public:
  // Statuses: mapped from LDAP results: server down 0x8007203A when the
  // server refuses the connection or does not answer within the connect
  // timeout or the time left in the call (the host then counts as failed
  // in the call, call_budget.h), ...; kNoLogonSession when the bind fails and the identity's
  // cache holds no ticket (no cache, no principal, or a principal alone).
  static Status open(const Target& target, const Identity& identity,
                     std::unique_ptr<Connection>& connection);

  LDAP* ld() const { return ld_.get(); }
  // The target's URI, the server's name in the table of avoided servers.
  const std::string& server() const { return server_; }
  // The target's host: a hung host leaves every port of it unanswered.
  const std::string& host() const { return host_; }
  const RootDse& root_dse() const { return root_dse_; }
  // The configured search base (BASE, LDAPBASE), or "".
  const std::string& configured_base() const { return configured_base_; }

 private:
  Connection() = default;
  LdapHandle ld_;
  std::string server_;
  std::string host_;
  RootDse root_dse_;
  std::string configured_base_;
};

}  // namespace txads::directory
