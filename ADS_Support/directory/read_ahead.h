// Reads ahead for a walk over groups level by level. While a ReadAheadScope
// lives on the thread, what group binds (with their member lists) and member
// resolutions read is kept, and read_ahead_groups reads at the start of a
// level those of the level's groups, and of the members their lists name,
// that the scope does not hold yet, all in one search per server and naming
// context (batches of 100 names, sent together).
// Binds of groups that search found, and resolutions of the names it held,
// then send no request; anything else is read as without the scope. For a
// walk over containers, binds of objects a container listing returned, and
// listings read ahead by read_ahead_listings, send no request either.
// Nothing outlives the scope (one search of one export call).
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "directory/search.h"

namespace txads::directory {

struct Endpoint;
struct PendingListings;

// An object as a read-ahead saw it: absent, or its classes and, for a group
// whose list came whole, its members.
struct KnownObject {
  bool exists = false;
  std::vector<std::string> classes;
  std::optional<std::vector<std::string>> members;
};

class ReadAheadScope {
 public:
  ReadAheadScope();
  ~ReadAheadScope();
  ReadAheadScope(const ReadAheadScope&) = delete;
  ReadAheadScope& operator=(const ReadAheadScope&) = delete;

 private:
  friend struct ReadAheadStore;
  std::map<std::string, KnownObject> objects_;          // by endpoint key and lower-case DN
  std::map<std::string, std::vector<Entry>> listings_;  // by container and class filter
  std::unique_ptr<PendingListings> pending_;            // asked for, not read yet
  bool active_ = false;
};

// Starts a level of `group_paths` (LDAP paths). Each object is read once per
// scope: what earlier levels read is kept. Does nothing without a scope; a
// failing read leaves the walk to read for itself.
void read_ahead_groups(const std::vector<std::string>& group_paths);

// Lists the children of the container at `path` (an LDAP path) that pass
// any of `filters` in one one-level search, and keeps each filter's part in
// the server's order for the container's listings with that filter. Does
// nothing without a scope or when those listings are kept already; a
// failing read keeps nothing.
void read_ahead_listings(const std::string& path,
                         const std::vector<std::vector<std::string>>& filters);

// Asks, as read_ahead_listings would, for the listings of every child that
// the kept listing of the container at `path` with `container_filter` holds,
// all at once on one connection that the scope keeps, and returns without
// waiting: the walk works (and pauses) while the server answers. known_listing
// of one of them reads the answers to that server in the order they were sent,
// up to its own, keeps each and asks at once for the listings of its children
// that pass `container_filter`, so the server stays a level ahead of the walk.
// Listings kept or asked for already are not asked for again; a failing read
// keeps nothing.
void read_ahead_child_listings(const std::string& path,
                               const std::vector<std::string>& container_filter,
                               const std::vector<std::vector<std::string>>& filters);

// The kept children of `dn` that pass `classes`, or null.
const std::vector<Entry>* known_listing(const Endpoint& endpoint, const std::string& dn,
                                        const std::vector<std::string>& classes);

// For the directory layer: whether a scope lives on this thread, what it
// knows of `dn` (null: nothing), and keeping an object it read.
bool reading_ahead();
const KnownObject* known_object(const Endpoint& endpoint, const std::string& dn);
void keep_object(const Endpoint& endpoint, const std::string& dn, KnownObject object);

}  // namespace txads::directory
