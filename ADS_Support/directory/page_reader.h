// A paged search read one page at a time, for enumerations whose caller
// works slowly through the entries (the container listings pause after each
// one). As soon as a page arrives the next one is asked for, so the server
// prepares it while the caller handles the current one. Pages start small,
// so that the first entries come quickly, and double up to page_size().
// The reader keeps its connection lent until the last page has arrived; a
// reader dropped before that abandons its request and gives the connection
// back. Used by one thread at a time.
#pragma once

#include <vector>

#include "directory/ldap_ops.h"
#include "directory/pool.h"
#include "frame/status.h"

namespace txads::directory {

class PageReader {
 public:
  PageReader() = default;
  PageReader(const PageReader&) = delete;
  PageReader& operator=(const PageReader&) = delete;
  ~PageReader();

  // Asks for the first page without waiting for its answer (as with_connection,
  // a kept connection found closed is replaced); start() with the same
  // endpoint and query then takes that answer.
  Status ask(const Endpoint& endpoint, SearchRequest query);
  // The connection of a page asked for and not taken yet, or null.
  Connection* asking_on() const { return message_id_ >= 0 ? lease_.connection() : nullptr; }
  // Asks for the first page, unless ask() did, and waits for it; the second
  // page is asked for before this returns.
  Status start(const Endpoint& endpoint, SearchRequest query, std::vector<Entry>& entries);
  // Replaces `entries` with the next page: kOk, kFalse after the last page,
  // or the failure that ends the search.
  Status next_page(std::vector<Entry>& entries);

  // Ends the search after its connection failed with `ldap_result`, which
  // ends the lease as Lease::end does; next_page gives that failure, and
  // start() asks again.
  void drop(int ldap_result);

  // Entries in the first page (tests).
  static constexpr int kFirstPageEntries = 50;

 private:
  // Asks for the first page of query_.
  int send_first(LDAP* ld);
  // Receives the awaited page, then asks for the one after it.
  int take(LDAP* ld, std::vector<Entry>& entries);

  Lease lease_;
  std::string endpoint_key_;  // of the endpoint asked
  SearchRequest query_;
  Berval cookie_;
  int page_entries_ = 0;
  int message_id_ = -1;             // the request awaiting its answer; -1 for none
  int ask_failure_ = LDAP_SUCCESS;  // asking for the next page failed with this
};

}  // namespace txads::directory
