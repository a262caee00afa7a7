// Searches asked for before the operations that need them, so that requests
// that do not depend on each other's answers travel together and cost one
// round trip. While a SearchAhead lives on the thread, with_connection to
// its endpoint runs on the connection it was asked on (requests sent later
// follow it there), and the first search_entries of the same query on that
// connection takes its answer instead of asking again. An answer never taken
// is abandoned. Nothing outlives the SearchAhead (one export call).
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "directory/pool.h"
#include "directory/search.h"

namespace txads::directory {

class SearchAhead {
 public:
  // Asks for `query` on a connection to `endpoint` (as with_connection: a
  // kept connection found closed is replaced); a request that cannot be
  // sent leaves the operation to ask for itself.
  SearchAhead(const Endpoint& endpoint, SearchRequest query);
  ~SearchAhead();
  SearchAhead(const SearchAhead&) = delete;
  SearchAhead& operator=(const SearchAhead&) = delete;

 private:
  friend Connection* search_ahead_connection(const Endpoint& endpoint);
  friend bool take_search_ahead(Connection& connection, const SearchRequest& query,
                                int& message_id);
  friend void drop_search_ahead(const Connection& connection, int ldap_result);
  Lease lease_;               // held by the first ask to an endpoint
  Connection* on_ = nullptr;  // the connection asked on; null when nothing was asked
  std::string endpoint_key_;
  SearchRequest query_;
  int message_id_ = -1;  // the request awaiting its answer; -1 once taken
};

// What binding the group at the LDAP path `path` reads, and what translating
// the distinguished name `name` on the global catalog reads; null when there
// is nothing to ask (a path or name that does not parse).
std::unique_ptr<SearchAhead> ask_group_bind(std::string_view path);
std::unique_ptr<SearchAhead> ask_dn_translation(std::string_view name);

// For the directory layer: the connection that the thread's searches asked
// ahead to `endpoint` are on, or null; the message id of the search asked
// ahead for `query` on `connection`, taken (false when there is none); and
// ending the lending of a connection that failed with `ldap_result`.
Connection* search_ahead_connection(const Endpoint& endpoint);
bool take_search_ahead(Connection& connection, const SearchRequest& query, int& message_id);
void drop_search_ahead(const Connection& connection, int ldap_result);

// The requests asked ahead, as the operations send them: a bind's base read
// of `dn` (object.cpp), a translation's read of `dn` on the global catalog,
// and the global catalog's endpoint (name_translate.cpp).
SearchRequest bind_request(const std::string& dn, bool with_members);
SearchRequest translation_request(const std::string& dn);
Endpoint global_catalog();

}  // namespace txads::directory
