// Plain LDAP searches on the directory, for the platform stand-ins that are
// answered from the directory (account lookup, the token's groups, the
// current user's and station's objects). Same connections and statuses as
// the operations in ads.h. Thread-safe.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "frame/status.h"

namespace txads::directory {

enum class Scope { base, one_level, subtree };

// The filter that every object passes.
inline constexpr const char* kEveryObject = "(objectClass=*)";

// One search. `server` and `global_catalog` choose the connection for
// search() below; the requests of ldap_ops.h run on a connection already
// chosen and ignore them.
struct SearchRequest {
  SearchRequest() = default;
  SearchRequest(std::string base_dn, Scope search_scope, std::string search_filter,
                std::vector<std::string> names)
      : base(std::move(base_dn)),
        scope(search_scope),
        filter(std::move(search_filter)),
        attributes(std::move(names)) {}

  std::string base;  // for search(): "" = the configured BASE, else the default naming
                     // context (for the global catalog: the whole forest)
  Scope scope = Scope::subtree;
  std::string filter = kEveryObject;    // escape caller text with escape_filter_value
  std::vector<std::string> attributes;  // empty = none but the DN
  std::string server;                   // "" = the client configuration's server
  bool global_catalog = false;          // search the forest's global catalog (port 3268)
  int size_limit = 0;  // most entries returned, below a page (0: no limit of the caller's)
  // Whether one-level and subtree searches ask for pages. A server may
  // keep a paged answer's result set and read every entry again for its
  // page; a search that names its objects expects few and asks for none
  // (a server that caps unpaged answers gives LDAP_SIZELIMIT_EXCEEDED).
  bool paged = true;

  bool operator==(const SearchRequest&) const = default;
};

struct Entry {
  std::string dn;
  // Attribute name (as the server spells it, compare case-insensitively) to
  // raw values.
  std::map<std::string, std::vector<std::string>> attributes;
  const std::vector<std::string>* find(std::string_view attribute) const;
};

// Every matching entry, across pages. Continuation references (into other
// partitions) are skipped, never chased without the caller's credentials;
// search the global catalog for the whole forest. A search that finds more
// than its size_limit gives kSizeLimitExceeded with the entries up to it.
Status search(const SearchRequest& request, std::vector<Entry>& entries);

// RFC 4515 escaping of a value put into a filter.
std::string escape_filter_value(std::string_view value);

// The default naming context of the configured server ("DC=corp,DC=example,DC=com").
Status default_naming_context(std::string& dn);

// The naming context of the configured server's configuration partition.
Status configuration_naming_context(std::string& dn);

}  // namespace txads::directory
