// Searches asked for before the operations that need them, so that requests
// that do not depend on each other's answers travel together and cost one
// round trip. While a SearchAhead lives on the thread, with_connection to
// its endpoint runs on the connection it was asked on (requests sent later
// follow it there), and the first search_entries of the same query on that
// connection takes its answer instead of asking again. An answer never taken
// is abandoned. Nothing outlives the SearchAhead (one export call).
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "directory/pool.h"
#include "directory/search.h"

namespace txads::directory {

enum class Asked { no, pending, answered };

class SearchAhead {
 public:
  // Asks for `query` on a connection to `endpoint` (as with_connection: a
  // kept connection found closed is replaced); a request that cannot be
  // sent leaves the operation to ask for itself.
  SearchAhead(const Endpoint& endpoint, SearchRequest query);
  ~SearchAhead();
  SearchAhead(const SearchAhead&) = delete;
  SearchAhead& operator=(const SearchAhead&) = delete;

  // The entries of an unpaged search's answer once it has come, read without
  // waiting and kept for the operation that takes it; null while it has not
  // come, or when the search failed or was taken.
  const std::vector<Entry>* arrived();

 private:
  friend Connection* search_ahead_connection(const Endpoint& endpoint);
  friend Asked take_search_ahead(Connection& connection, const SearchRequest& query,
                                 int& message_id, std::vector<Entry>& entries, int& result);
  friend void drop_search_ahead(const Connection& connection, int ldap_result);
  friend std::string nt4_from_answer(const SearchAhead& translation,
                                     const std::vector<Entry>& answer);
  // Ends the asks on `connection` (abandoning their requests when
  // `abandon`); returns the one that holds its lease, or null.
  static SearchAhead* release(const Connection& connection, bool abandon);
  Lease lease_;               // held by the first ask to an endpoint
  Connection* on_ = nullptr;  // the connection asked on; null when nothing was asked
  std::string endpoint_key_;
  SearchRequest query_;
  int message_id_ = -1;  // the request awaiting its answer; -1 once read or taken
  std::optional<std::vector<Entry>> answer_;  // read by arrived(), not taken yet
};

// What binding the group at the LDAP path `path` reads, and what translating
// the distinguished name `name` on the global catalog reads; null when there
// is nothing to ask (a path or name that does not parse).
std::unique_ptr<SearchAhead> ask_group_bind(std::string_view path);
std::unique_ptr<SearchAhead> ask_dn_translation(std::string_view name);
// The NT4 name that a translation asked by ask_dn_translation gives from its
// `answer`; "" when it gives none.
std::string nt4_from_answer(const SearchAhead& translation, const std::vector<Entry>& answer);

// Asks for `request` as search() (search.h) sends it.
std::unique_ptr<SearchAhead> ask_search(const SearchRequest& request);

// For the directory layer: the connection that the thread's searches asked
// ahead to `endpoint` are on, or null; taking the search asked ahead for
// `query` on `connection`: none, its request standing (`message_id`), or
// its answer read already (appended to `entries`, LDAP_SUCCESS in
// `result`); and ending the lending of a connection that failed with
// `ldap_result`.
Connection* search_ahead_connection(const Endpoint& endpoint);
Asked take_search_ahead(Connection& connection, const SearchRequest& query, int& message_id,
                        std::vector<Entry>& entries, int& result);
void drop_search_ahead(const Connection& connection, int ldap_result);

// The requests asked ahead, as the operations send them: a bind's base read
// of `dn` (object.cpp), a translation's read of `dn` (parse_dn's form) on the
// global catalog, and the global catalog's endpoint (name_translate.cpp).
// translation_answer reads that read's `entries` as the translation does:
// the object's DN and NT4 name ("" for an object without one), or the
// translation's failure.
SearchRequest bind_request(const std::string& dn, bool with_members);
SearchRequest translation_request(const std::string& dn);
Status translation_answer(const std::string& dn, const std::vector<Entry>& entries,
                          std::string& found_dn, std::string& nt4);
Endpoint global_catalog();

}  // namespace txads::directory
