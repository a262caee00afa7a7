// What the dialogs show of the directory, read through the library's own
// directory layer with the process's Kerberos credentials: the forest's
// domains, the containers below an entry (one level), and the forest's
// security groups from the global catalog. Also the LDAP path of an entry as
// the dialogs hand it back: with the server that holds it.
//
// Built once on the GUI thread; after init() the const operations may run on
// any thread (the layer's searches are thread-safe).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "frame/status.h"

namespace txads::dialog {

enum class NodeKind { domain, organizational_unit, container };

struct DirectoryNode {
  std::string dn;
  std::string name;  // what the tree shows: the RDN value, a domain's DNS name
  NodeKind kind = NodeKind::container;
  // A system container: advanced-view-only, or one of the domain's own
  // (Builtin, ForeignSecurityPrincipals, LostAndFound, Program Data, ...).
  bool advanced = false;
};

struct GroupEntry {
  std::string dn;
  std::string name;         // cn
  std::string account;      // sAMAccountName
  std::string description;  // first line, may be empty
  int32_t group_type = 0;
};

class DirectoryReader {
 public:
  // Reads the naming contexts, the server's host name and the forest's
  // domains. Fails when the directory cannot be reached.
  Status init();

  // The forest's domains, the configured server's own first.
  const std::vector<DirectoryNode>& domains() const { return domains_; }

  // The containers, units and domains directly below dn, sorted by name.
  Status children(const std::string& dn, std::vector<DirectoryNode>& nodes) const;

  // Organisational units and containers anywhere in the forest's domains
  // whose name contains `text`, those whose name starts with it first, then
  // by name; at most `limit`, which the directory applies (so not
  // necessarily the best `limit`; `more` tells whether there were others).
  // System containers only with `advanced`.
  Status find_containers(const std::string& text, bool advanced, size_t limit,
                         std::vector<DirectoryNode>& nodes, bool& more) const;

  // The forest's security groups of universal, global and domain-local type.
  Status security_groups(std::vector<GroupEntry>& groups) const;

  // The dn of the forest's domain that holds dn ("" when none does).
  std::string domain_dn_of(const std::string& dn) const;

  // "LDAP://" + the server that holds dn + "/" + dn: the configured server's
  // host name for its own domain, the domain's DNS name for other domains.
  std::string ldap_path(const std::string& dn) const;

 private:
  struct Domain {
    std::string dn;
    std::string dns_name;
  };
  // The domain whose naming context holds dn; null when none does.
  const Domain* domain_of(const std::string& dn) const;
  std::string server_for(const std::string& dn) const;

  std::string own_domain_;   // default naming context
  std::string forest_root_;  // the forest root domain's dn
  std::string server_host_;  // the configured server's DNS host name
  std::vector<Domain> forest_;
  std::vector<DirectoryNode> domains_;
};

}  // namespace txads::dialog
