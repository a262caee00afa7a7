// The thread's read-ahead store, the read at the start of a level, and the
// listings asked for ahead of a walk over containers.
#include "directory/read_ahead.h"

#include <algorithm>
#include <deque>
#include <list>
#include <set>
#include <span>

#include "directory/ldap_ops.h"
#include "directory/ldap_path.h"
#include "directory/object_state.h"
#include "directory/pool.h"
#include "frame/ascii_case.h"

namespace txads::directory {
namespace {

thread_local ReadAheadScope* current_scope = nullptr;

std::string key_of(const Endpoint& endpoint, const std::string& dn) {
  return endpoint.key() + "|" + ascii_lower(dn);
}

std::string listing_key(const Endpoint& endpoint, const std::string& dn,
                        const std::vector<std::string>& classes) {
  std::string key = key_of(endpoint, dn);
  for (const std::string& name : classes) key.append("|").append(ascii_lower(name));
  return key;
}

bool passes(const Entry& entry, const std::vector<std::string>& classes) {
  if (classes.empty()) return true;
  const auto* held = entry.find("objectClass");
  if (!held) return false;
  for (const std::string& name : classes)
    for (const std::string& value : *held)
      if (equal_ignoring_case(name, value)) return true;
  return false;
}

// The classes of `filters` together; empty when one of them takes every child.
std::vector<std::string> all_classes(const std::vector<std::vector<std::string>>& filters) {
  std::vector<std::string> classes;
  for (const auto& filter : filters) {
    if (filter.empty()) return {};  // every child: no narrower listing to share
    classes.insert(classes.end(), filter.begin(), filter.end());
  }
  return classes;
}

}  // namespace

struct ReadAheadStore {
  static std::map<std::string, KnownObject>* objects() {
    return current_scope ? &current_scope->objects_ : nullptr;
  }
  static std::map<std::string, std::vector<Entry>>* listings() {
    return current_scope ? &current_scope->listings_ : nullptr;
  }
  static PendingListings* pending() {
    if (!current_scope) return nullptr;
    if (!current_scope->pending_) current_scope->pending_ = std::make_unique<PendingListings>();
    return current_scope->pending_.get();
  }
};

// Listings asked for and not read yet, on the scope's connection to each
// server, in the order they were sent: the server answers in that order, so
// reading them in it waits for nothing that could have come first.
struct PendingListings {
  struct Listing {
    SearchRequest query;  // its base is the container listed
    int message_id = 0;
    const std::vector<std::string>* container_filter;  // owned by `filters_kept`
    const std::vector<std::vector<std::string>>* filters;
  };
  struct Server {
    Lease lease;
    std::deque<Listing> sent;
  };
  std::map<std::string, Server> servers;  // by endpoint key
  std::set<std::string> asked;            // key_of() of each container sent for
  // The filters of the listings, one copy of each distinct pair.
  using Filters = std::pair<std::vector<std::string>, std::vector<std::vector<std::string>>>;
  std::list<Filters> filters_kept;

  const Filters& keep_filters(const std::vector<std::string>& container_filter,
                              const std::vector<std::vector<std::string>>& filters) {
    for (const Filters& kept : filters_kept)
      if (kept.first == container_filter && kept.second == filters) return kept;
    return filters_kept.emplace_back(container_filter, filters);
  }

  // Forgets what was sent to a server whose connection failed with `ldap_result`.
  void drop(const Endpoint& endpoint, int ldap_result) {
    Server& server = servers[endpoint.key()];
    for (const Listing& listing : server.sent) asked.erase(key_of(endpoint, listing.query.base));
    server.sent.clear();
    server.lease.end(ldap_result);
  }

  ~PendingListings() {
    for (auto& [key, server] : servers) {
      if (Connection* connection = server.lease.connection())
        for (const Listing& listing : server.sent)
          abandon_request(connection->ld(), listing.message_id);
    }
  }
};

ReadAheadScope::ReadAheadScope() {
  if (current_scope) return;
  current_scope = this;
  active_ = true;
}

ReadAheadScope::~ReadAheadScope() {
  if (active_) current_scope = nullptr;
}

bool reading_ahead() {
  return current_scope != nullptr;
}

const KnownObject* known_object(const Endpoint& endpoint, const std::string& dn) {
  auto* objects = ReadAheadStore::objects();
  if (!objects) return nullptr;
  auto it = objects->find(key_of(endpoint, dn));
  return it == objects->end() ? nullptr : &it->second;
}

void keep_object(const Endpoint& endpoint, const std::string& dn, KnownObject object) {
  if (auto* objects = ReadAheadStore::objects())
    (*objects)[key_of(endpoint, dn)] = std::move(object);
}

namespace {

// Keeps each filter's part of `entries`, the children of `dn`.
void keep_listings(const Endpoint& endpoint, const std::string& dn,
                   const std::vector<std::vector<std::string>>& filters,
                   std::span<const Entry> entries) {
  auto& listings = *ReadAheadStore::listings();
  for (const auto& filter : filters) {
    std::vector<Entry>& part = listings[listing_key(endpoint, dn, filter)];
    part.clear();
    for (const Entry& entry : entries)
      if (passes(entry, filter)) part.push_back(entry);
  }
}

// Most listings asked for and unread at once; beyond, the walk reads for itself.
constexpr size_t kMostPending = 1000;

// The kept listing, without reading what is asked for.
const std::vector<Entry>* kept_listing(const Endpoint& endpoint, const std::string& dn,
                                       const std::vector<std::string>& classes) {
  auto* listings = ReadAheadStore::listings();
  if (!listings) return nullptr;
  auto it = listings->find(listing_key(endpoint, dn, classes));
  return it == listings->end() ? nullptr : &it->second;
}

// Whether each filter's listing of `dn` is kept; answers not read yet do not count.
bool listings_kept(const Endpoint& endpoint, const std::string& dn,
                   const std::vector<std::vector<std::string>>& filters) {
  return std::all_of(filters.begin(), filters.end(),
                     [&](const auto& filter) { return kept_listing(endpoint, dn, filter); });
}

// Sends the listings of the children of `dn` that its kept listing with
// `container_filter` holds and that are neither kept nor asked for.
void ask_child_listings(const Endpoint& endpoint, const std::string& dn,
                        const std::vector<std::string>& container_filter,
                        const std::vector<std::vector<std::string>>& filters) {
  PendingListings* pending = ReadAheadStore::pending();
  const std::vector<std::string> classes = all_classes(filters);
  const auto* children = kept_listing(endpoint, dn, container_filter);
  if (!pending || classes.empty() || !children) return;
  std::vector<std::string> dns;
  for (const Entry& child : *children) {
    if (!pending->asked.count(key_of(endpoint, child.dn)) &&
        !listings_kept(endpoint, child.dn, filters))
      dns.push_back(child.dn);
  }
  if (dns.empty() || pending->asked.size() + dns.size() > kMostPending) return;
  const auto& kept_filters = pending->keep_filters(container_filter, filters);
  std::vector<PendingListings::Listing> sent;
  int rc = LDAP_SUCCESS;
  auto send = [&](Connection& connection) {
    sent.clear();
    for (const std::string& child : dns) {
      PendingListings::Listing listing{
          {child, Scope::one_level, class_filter(classes), {"objectClass"}},
          0,
          &kept_filters.first,
          &kept_filters.second};
      rc = send_search(connection.ld(), listing.query, page_size(), nullptr, listing.message_id);
      if (rc != LDAP_SUCCESS) return rc;
      sent.push_back(std::move(listing));
    }
    return rc;
  };
  PendingListings::Server& server = pending->servers[endpoint.key()];
  if (server.lease.connection())
    send(*server.lease.connection());
  else if (server.lease.open(endpoint, send).failed() && rc == LDAP_SUCCESS)
    rc = LDAP_OTHER;  // no connection
  for (PendingListings::Listing& listing : sent) {
    pending->asked.insert(key_of(endpoint, listing.query.base));
    server.sent.push_back(std::move(listing));
  }
  if (rc < 0) pending->drop(endpoint, rc);  // the sent ones' answers cannot come
}

// Reads the answers sent to the server of `endpoint` up to the listing of
// `dn`, keeps each listing and asks for those of its children.
void read_until(const Endpoint& endpoint, const std::string& dn) {
  PendingListings* pending = ReadAheadStore::pending();
  if (!pending || !pending->asked.count(key_of(endpoint, dn))) return;
  PendingListings::Server& server = pending->servers[endpoint.key()];
  while (!server.sent.empty() && server.lease.connection()) {
    const PendingListings::Listing listing = std::move(server.sent.front());
    server.sent.pop_front();
    pending->asked.erase(key_of(endpoint, listing.query.base));
    std::vector<Entry> entries;
    const int rc =
        receive_all(*server.lease.connection(), listing.query, listing.message_id, entries);
    if (rc < 0) {
      pending->drop(endpoint, rc);
      return;
    }
    if (rc == LDAP_SUCCESS) {  // else the walk reads this one for itself
      keep_listings(endpoint, listing.query.base, *listing.filters, entries);
      ask_child_listings(endpoint, listing.query.base, *listing.container_filter, *listing.filters);
    }
    if (equal_ignoring_case(listing.query.base, dn)) return;
  }
}

}  // namespace

void read_ahead_listings(const std::string& path,
                         const std::vector<std::vector<std::string>>& filters) {
  LdapPath parsed;
  if (!ReadAheadStore::listings() || parse_path(path, parsed).failed() || parsed.dn.empty()) return;
  const std::vector<std::string> classes = all_classes(filters);
  if (classes.empty()) return;
  read_until(parsed.endpoint, parsed.dn);
  if (listings_kept(parsed.endpoint, parsed.dn, filters)) return;
  std::vector<Entry> entries;
  const Status status = with_connection(parsed.endpoint, [&](Connection& connection) {
    entries.clear();
    return search_entries(
        connection, {parsed.dn, Scope::one_level, class_filter(classes), {"objectClass"}}, entries);
  });
  if (status.ok()) keep_listings(parsed.endpoint, parsed.dn, filters, entries);
}

void read_ahead_child_listings(const std::string& path,
                               const std::vector<std::string>& container_filter,
                               const std::vector<std::vector<std::string>>& filters) {
  LdapPath parsed;
  if (!ReadAheadStore::listings() || parse_path(path, parsed).failed() || parsed.dn.empty()) return;
  ask_child_listings(parsed.endpoint, parsed.dn, container_filter, filters);
}

const std::vector<Entry>* known_listing(const Endpoint& endpoint, const std::string& dn,
                                        const std::vector<std::string>& classes) {
  if (const auto* kept = kept_listing(endpoint, dn, classes)) return kept;
  read_until(endpoint, dn);
  return kept_listing(endpoint, dn, classes);
}

void read_ahead_groups(const std::vector<std::string>& group_paths) {
  auto* objects = ReadAheadStore::objects();
  if (!objects) return;
  // What the level needs and no earlier read of this scope holds: its
  // groups, and the members their lists name, by server.
  struct Level {
    Endpoint endpoint;
    std::vector<std::string> dns;
    std::set<std::string> seen;  // lower-case DNs already listed
  };
  std::map<std::string, Level> levels;
  for (const std::string& path : group_paths) {
    LdapPath parsed;
    if (parse_path(path, parsed).failed() || parsed.dn.empty()) continue;
    Level& level = levels[parsed.endpoint.key()];
    level.endpoint = parsed.endpoint;
    auto add = [&](const std::string& dn, const KnownObject* known) {
      if (!known && level.seen.insert(ascii_lower(dn)).second) level.dns.push_back(dn);
    };
    const KnownObject* group = known_object(parsed.endpoint, parsed.dn);
    add(parsed.dn, group);
    if (!group || !group->members) continue;
    for (const std::string& member : *group->members)
      add(member, known_object(level.endpoint, member));
  }
  for (const auto& [key, level] : levels) {
    std::vector<Entry> entries;
    std::set<std::string> from_catalog;  // their member lists may be partial
    if (level.dns.empty()) continue;
    if (search_by_dns(level.endpoint, level.dns, kEveryObject, {"objectClass", "member"}, entries,
                      &from_catalog)
            .failed())
      continue;
    for (const std::string& dn : level.dns) keep_object(level.endpoint, dn, {});
    for (const Entry& entry : entries) {
      const auto* classes = entry.find("objectClass");
      keep_object(
          level.endpoint, entry.dn,
          {true, classes ? *classes : std::vector<std::string>{},
           from_catalog.count(ascii_lower(entry.dn)) ? std::nullopt : whole_members(entry)});
    }
  }
}

}  // namespace txads::directory
