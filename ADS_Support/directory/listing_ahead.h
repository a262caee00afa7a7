// A container listing whose first page is asked for before the container is
// bound, so that the bind and the listing go out together and cost one round
// trip, not two. While a ListingAhead lives on the thread, with_connection
// to its endpoint runs on the connection the page is asked on (the bind's
// request follows the listing's on it), until the container's new_enum with
// the same filter takes the page. A listing never taken is abandoned.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "directory/ads.h"

namespace txads::directory {

class Connection;
class PageReader;
struct Endpoint;

class ListingAhead {
 public:
  // The children of the container at `path` (an LDAP path) that pass
  // `classes`; nothing is asked for a path that does not parse.
  ListingAhead(std::string_view path, const ClassFilter& classes);
  ~ListingAhead();
  ListingAhead(const ListingAhead&) = delete;
  ListingAhead& operator=(const ListingAhead&) = delete;

 private:
  friend Connection* listing_ahead_connection(const Endpoint& endpoint);
  friend std::unique_ptr<PageReader> take_listing_ahead(const Endpoint& endpoint);
  friend void drop_listing_ahead(int ldap_result);
  std::unique_ptr<PageReader> reader_;
  std::string endpoint_key_;
  bool active_ = false;
};

// For the directory layer: the connection of the thread's listing asked
// ahead to `endpoint`, or null; and its reader (null when none), which takes
// the page asked for when started with the same query (else asks again).
// A listing taken no longer lends its connection, nor one dropped; a dropped
// listing is asked for again when taken.
Connection* listing_ahead_connection(const Endpoint& endpoint);
std::unique_ptr<PageReader> take_listing_ahead(const Endpoint& endpoint);
// Ends the listing asked ahead after its connection failed with `ldap_result`.
void drop_listing_ahead(int ldap_result);

}  // namespace txads::directory
