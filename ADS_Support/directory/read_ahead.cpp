// The thread's read-ahead store and the read at the start of a level.
#include "directory/read_ahead.h"

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

bool listings_kept(const Endpoint& endpoint, const std::string& dn,
                   const std::vector<std::vector<std::string>>& filters) {
  for (const auto& filter : filters)
    if (!known_listing(endpoint, dn, filter)) return false;
  return true;
}

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

}  // namespace

void read_ahead_listings(const std::string& path,
                         const std::vector<std::vector<std::string>>& filters) {
  LdapPath parsed;
  if (!ReadAheadStore::listings() || parse_path(path, parsed).failed() || parsed.dn.empty()) return;
  const std::vector<std::string> classes = all_classes(filters);
  if (classes.empty() || listings_kept(parsed.endpoint, parsed.dn, filters)) return;
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
  const std::vector<std::string> classes = all_classes(filters);
  const auto* children = known_listing(parsed.endpoint, parsed.dn, container_filter);
  if (classes.empty() || !children) return;
  std::vector<std::string> dns;
  std::vector<SearchRequest> queries;
  for (const Entry& child : *children) {
    if (listings_kept(parsed.endpoint, child.dn, filters)) continue;
    dns.push_back(child.dn);
    queries.push_back({child.dn, Scope::one_level, class_filter(classes), {"objectClass"}});
  }
  if (queries.empty()) return;
  std::vector<Entry> entries;
  std::vector<size_t> ends;
  const Status status = with_connection(parsed.endpoint, [&](Connection& connection) {
    entries.clear();
    return search_all(connection, queries, entries, nullptr, &ends);
  });
  if (status.failed() || ends.size() != dns.size()) return;
  const std::span<const Entry> all(entries);
  for (size_t i = 0, begin = 0; i < dns.size(); begin = ends[i++])
    keep_listings(parsed.endpoint, dns[i], filters, all.subspan(begin, ends[i] - begin));
}

const std::vector<Entry>* known_listing(const Endpoint& endpoint, const std::string& dn,
                                        const std::vector<std::string>& classes) {
  auto* listings = ReadAheadStore::listings();
  if (!listings) return nullptr;
  auto it = listings->find(listing_key(endpoint, dn, classes));
  return it == listings->end() ? nullptr : &it->second;
}

void read_ahead_groups(const std::vector<std::string>& group_paths) {
  auto* objects = ReadAheadStore::objects();
  if (!objects) return;
  // The level's groups and the members their lists last named, by server.
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
    if (level.seen.insert(ascii_lower(parsed.dn)).second) level.dns.push_back(parsed.dn);
    const KnownObject* group = known_object(parsed.endpoint, parsed.dn);
    if (!group || !group->members) continue;
    for (const std::string& member : *group->members) {
      if (level.seen.insert(ascii_lower(member)).second) level.dns.push_back(member);
    }
  }
  objects->clear();  // what earlier levels read may have changed since
  for (const auto& [key, level] : levels) {
    std::vector<Entry> entries;
    std::set<std::string> from_catalog;  // their member lists may be partial
    if (search_by_dns(level.endpoint, level.dns, "(objectClass=*)", {"objectClass", "member"},
                      entries, &from_catalog)
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
