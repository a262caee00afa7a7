// The LDAP requests the layer sends, on a connection lent by the pool: paged
// searches that skip continuation references, ranged reads of one
// attribute, and the writes. Each returns an LDAP result code and counts its
// requests. Every wait for an answer lasts at most the time left in the
// export call (call_budget.h). Thread-safe as far as the connection is held
// by one thread.
#pragma once

#include <string>
#include <vector>

#include "directory/connection.h"
#include "directory/ldap_owners.h"
#include "directory/search.h"

namespace txads::directory {

// Appends every entry. One-level and subtree searches are paged, unless
// size-limited: then at most size_limit entries and, when there were more,
// LDAP_SIZELIMIT_EXCEEDED.
int search_entries(Connection& connection, const SearchRequest& query, std::vector<Entry>& entries);

// What a server left to other servers of one search: the subtrees its
// continuation references named, or the whole base when it answered with a
// referral or does not hold the base at all (no such object).
struct Referred {
  bool whole = false;
  std::vector<std::string> subtrees;  // DNs
};

// Several searches at once: every first page is sent before any answer is
// awaited, the answers are appended in the order of `queries`, and further
// pages follow one after another. On a failure the requests still
// unanswered are abandoned and the first failing code comes back. With
// `referred`, a referral or a missing base is no failure: each query's
// Referred is set there instead (one per query, in their order).
int search_all(Connection& connection, const std::vector<SearchRequest>& queries,
               std::vector<Entry>& entries, std::vector<Referred>* referred = nullptr);

// The answer to a search sent with send_search at page_size() (or
// unpaged, for a base search), and the pages after it, each asked for when
// the one before has arrived; its entries are appended. `referred` as for
// search_all.
int receive_all(Connection& connection, const SearchRequest& query, int message_id,
                std::vector<Entry>& entries, Referred* referred = nullptr);

// The two halves of one search request, for readers that overlap pages with
// their caller's work. send_search asks for one page of `page_entries` after
// `cookie` (no paging for 0). receive_search waits, within the handle's
// operation timeout, for the whole answer, appends its entries and sets
// `cookie` for the next page (empty after the last); a request that times
// out is abandoned (LDAP_TIMEOUT, or LDAP_CONNECT_ERROR when the server sent
// nothing within the connect timeout); the DNs of continuation references go
// to `references` when given.
int send_search(LDAP* ld, const SearchRequest& query, int page_entries, const berval* cookie,
                int& message_id);
int receive_search(LDAP* ld, int message_id, std::vector<Entry>& entries, Berval& cookie,
                   std::vector<std::string>* references = nullptr, bool wait = true);
// Abandons request `message_id`: its answer, when the server sent it
// before the abandon arrived, is read and dropped with the next answers.
int abandon_request(LDAP* ld, int message_id);

// Asks for the first page of `query` as search_entries does (search_ahead.h).
int send_first_page(LDAP* ld, const SearchRequest& query, int& message_id);

// receive_search without `wait` (and receive_if_arrived, which reads an
// unpaged answer as search_entries does) give kNotArrived, and leave the
// request standing, while its whole answer has not come yet;
// receive_if_arrived gives it always for a search asked for in pages.
inline constexpr int kNotArrived = -0x100;
int receive_if_arrived(Connection& connection, const SearchRequest& query, int message_id,
                       std::vector<Entry>& entries);

// Every value of `attribute` of the entry `dn`, following ranged retrieval
// ("member;range=0-1499") to the last range. LDAP_NO_SUCH_OBJECT when the
// entry is absent; success with no values when it holds none.
int read_values(Connection& connection, const std::string& dn, const std::string& attribute,
                std::vector<std::string>& values);

// One modification of one attribute: LDAP_MOD_ADD, LDAP_MOD_DELETE or
// LDAP_MOD_REPLACE (no values: delete the attribute).
struct Change {
  int op = LDAP_MOD_REPLACE;
  std::string attribute;
  std::vector<std::string> values;
};

// The writes. A write whose server does not answer in time gives
// LDAP_TIMEOUT: it may have been applied and is not to be sent again.
int add_entry(Connection& connection, const std::string& dn, const std::vector<Change>& attributes);
int modify_entry(Connection& connection, const std::string& dn, const std::vector<Change>& changes);
int delete_entry(Connection& connection, const std::string& dn);
int rename_entry(Connection& connection, const std::string& dn, const std::string& new_rdn,
                 const std::string& new_superior);

// Entries per search page (default 1000) and values per range request
// (0, the default, lets the server choose). Settable for tests.
int page_size();
void set_page_size(int entries);
int range_size();
void set_range_size(int values);

// For tests: sees each answer of search_entries and search_all (the
// server's URI, the query, its result code, entries and the DNs of its
// continuation references) before the layer does, and may change it, to
// give answers the test domain cannot (a referral, a value naming an object
// of another domain). Null: none.
using AnswerFilter = void (*)(const std::string& server, const SearchRequest& query, int& result,
                              std::vector<Entry>& entries, std::vector<std::string>& references);
void set_answer_filter(AnswerFilter filter);

}  // namespace txads::directory
