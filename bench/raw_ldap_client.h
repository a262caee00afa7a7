// A plain LDAP client for comparison: one connection bound once with SASL
// GSSAPI, and each question asked the straightforward way, one synchronous
// search after another.
#pragma once

#include <string>

typedef struct ldap LDAP;

namespace txads_bench {

class RawLdapClient {
 public:
  // uri: "ldap://host:port"; base: the domain's DN.
  RawLdapClient(const std::string& uri, std::string base);
  ~RawLdapClient();
  RawLdapClient(const RawLdapClient&) = delete;
  RawLdapClient& operator=(const RawLdapClient&) = delete;

  bool bound() const { return bound_; }
  // The account's DN, then the named group's members, one search per group,
  // down to max_depth levels below the named group. 1 member, 2 not, -1 failed.
  int user_in_group(const std::string& account, const std::string& group_dn, int max_depth);
  // Depth-first through the OUs below container_dn, one one-level search per
  // container for its OUs and the station. The DN of the container holding
  // the station, or "" when none does.
  std::string station_container(const std::string& station, const std::string& container_dn);
  // The users directly in container_dn by cn, read with a paged search; -1 failed.
  int count_users(const std::string& container_dn);
  // A base search of the object with the filter: 1 exists (and matches), 0 not, -1 failed.
  int exists(const std::string& dn, const char* filter = "(objectClass=*)");

 private:
  int read_group(const std::string& user_dn, const std::string& group_dn, int depth, int max_depth);

  LDAP* ld_ = nullptr;
  std::string base_;
  bool bound_ = false;
};

}  // namespace txads_bench
