// Reads ahead for a walk over groups level by level. While a ReadAheadScope
// lives on the thread, what group binds (with their member lists) and member
// resolutions read is kept, and read_ahead_groups reads at the start of a
// level the level's groups and the members their lists named when last read,
// all in one search per server and naming context (batches of 100 names).
// Binds of groups that search found, and resolutions of the names it held,
// then send no request; anything else is read as without the scope. For a
// walk over containers, binds of objects a container listing returned, and
// listings read ahead by read_ahead_listings, send no request either.
// Nothing outlives the scope (one search of one export call).
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "directory/search.h"

namespace txads::directory {

struct Endpoint;

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
  bool active_ = false;
};

// Starts a level of `group_paths` (LDAP paths); forgets what earlier levels
// read. Does nothing without a scope; a failing read leaves the walk to read
// for itself.
void read_ahead_groups(const std::vector<std::string>& group_paths);

// Lists the children of the container at `path` (an LDAP path) that pass
// any of `filters` in one one-level search, and keeps each filter's part in
// the server's order for the container's listings with that filter. Does
// nothing without a scope or when those listings are kept already; a
// failing read keeps nothing.
void read_ahead_listings(const std::string& path,
                         const std::vector<std::vector<std::string>>& filters);

// Reads ahead as read_ahead_listings does, for every child that the kept
// listing of the container at `path` with `container_filter` holds: all
// their searches sent at once on one connection, so that the listings of
// one container's children cost one round trip together. Listings already
// kept are not read again; a failing read keeps nothing.
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
