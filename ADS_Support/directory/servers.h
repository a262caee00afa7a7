// The servers a call may use, in the order to try them:
//   1. the server a path names; when that is the domain's own DNS name, the
//      domain's controllers from DNS;
//   2. else the servers of the client configuration (URI, LDAPURI);
//   3. else the controllers DNS names for the domain of the path (its DC=
//      parts), of the configured base (BASE, LDAPBASE), or of the realm of
//      the caller's Kerberos principal, lower-cased.
// For the global catalog, the same with its port (3268) and the forest's
// global catalog servers. Thread-safe.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "directory/ldap_path.h"
#include "frame/status.h"

namespace txads::directory {

struct Target {
  std::string uri;   // one server: "ldap://dc1.corp.example.com:389"
  std::string host;  // the host name the URI gives, "" when it names none
};

struct Servers {
  std::string key;  // the same for calls that may share connections
  // Preferred first; never null after find_servers. Shared: the configured
  // servers are not copied for every operation.
  std::shared_ptr<const std::vector<Target>> targets;
};

// kServerDown when no domain can be told or DNS names no controller for it.
Status find_servers(const Endpoint& endpoint, const std::string& principal, Servers& servers);

// The domain of "ann@CORP.EXAMPLE.COM": "corp.example.com"; "" for none.
std::string domain_of_principal(const std::string& principal);

}  // namespace txads::directory
