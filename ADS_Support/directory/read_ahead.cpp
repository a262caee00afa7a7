// The thread's read-ahead store and the read at the start of a level.
#include "directory/read_ahead.h"

#include <set>

#include "directory/ldap_path.h"
#include "directory/object_state.h"
#include "frame/ascii_case.h"

namespace txads::directory {
namespace {

thread_local ReadAheadScope* current_scope = nullptr;

std::string key_of(const Endpoint& endpoint, const std::string& dn) {
  return endpoint.key() + "|" + ascii_lower(dn);
}

}  // namespace

struct ReadAheadStore {
  static std::map<std::string, KnownObject>* objects() {
    return current_scope ? &current_scope->objects_ : nullptr;
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
    if (search_by_dns(level.endpoint, level.dns, "(objectClass=*)", {"objectClass", "member"},
                      entries)
            .failed())
      continue;
    for (const std::string& dn : level.dns) keep_object(level.endpoint, dn, {});
    for (const Entry& entry : entries) {
      const auto* classes = entry.find("objectClass");
      keep_object(level.endpoint, entry.dn,
                  {true, classes ? *classes : std::vector<std::string>{}, whole_members(entry)});
    }
  }
}

}  // namespace txads::directory
