// IADsGroup, IADsUser, IADsMembers and IEnumVARIANT. A group's members are
// its `member` values (taken from the group's bind when they came whole,
// otherwise read in ranges), an account's groups its `memberOf`
// values, as the platform's provider gives them (the primary group is not
// among them). Both are turned into objects with their classes by one
// search per batch of names, filtered by class on the server.
#include <algorithm>
#include <map>

#include "directory/ldap_ops.h"
#include "directory/object_state.h"
#include "directory/pool.h"
#include "directory/read_ahead.h"
#include "directory/status_map.h"
#include "frame/ascii_case.h"

namespace txads::directory {
namespace {

constexpr size_t kNamesPerSearch = 100;

// The naming context to search for a member: its DC= suffix.
std::string domain_of(const std::string& dn) {
  std::string rest = dn;
  while (!rest.empty()) {
    const std::string rdn = first_rdn(rest);
    if (rdn.size() > 3 && equal_ignoring_case(rdn.substr(0, 3), "DC=")) return rest;
    rest = parent_dn(rest);
  }
  return "";
}

Status change_member(ObjectState& group, std::string_view member_path, int op) {
  LdapPath member;
  const Status status = parse_path(member_path, member);
  if (status.failed()) return status;
  if (member.dn.empty()) return kBadPathname;
  const std::vector<Change> changes = {{op, "member", {member.dn}}};
  group.members.reset();  // the list read at bind no longer holds
  return with_connection(group.endpoint, [&](Connection& connection) {
    return modify_entry(connection, group.dn, changes);
  });
}

}  // namespace

std::string class_filter(const ClassFilter& classes) {
  if (classes.empty()) return "(objectClass=*)";
  std::string filter = classes.size() > 1 ? "(|" : "";
  for (const std::string& name : classes)
    filter += "(objectClass=" + escape_filter_value(name) + ")";
  if (classes.size() > 1) filter += ")";
  return filter;
}

Status search_by_dns(const Endpoint& endpoint, const std::vector<std::string>& dns,
                     const std::string& filter, const std::vector<std::string>& attributes,
                     std::vector<Entry>& entries) {
  entries.clear();
  // Names by naming context, so that each batch is one subtree search.
  std::map<std::string, std::vector<std::string>> by_domain;
  for (const std::string& dn : dns) {
    if (!domain_of(dn).empty()) by_domain[ascii_lower(domain_of(dn))].push_back(dn);
  }
  std::vector<SearchRequest> batches;
  for (const auto& [domain, names] : by_domain) {
    const std::string base = domain_of(names.front());
    for (size_t first = 0; first < names.size(); first += kNamesPerSearch) {
      std::string batch = "(&" + filter + "(|";
      const size_t last = std::min(names.size(), first + kNamesPerSearch);
      for (size_t i = first; i < last; ++i)
        batch += "(distinguishedName=" + escape_filter_value(names[i]) + ")";
      batch += "))";
      batches.push_back({base, Scope::subtree, batch, attributes});
    }
  }
  if (batches.empty()) return kOk;
  // The batches do not depend on each other: all are sent before the first
  // answer is awaited.
  return with_connection(endpoint, [&](Connection& connection) {
    entries.clear();
    return search_all(connection, batches, entries);
  });
}

Status resolve_objects(const Endpoint& endpoint, const std::vector<std::string>& dns,
                       const ClassFilter& classes,
                       std::vector<std::shared_ptr<ObjectState>>& objects) {
  objects.clear();
  std::map<std::string, std::vector<std::string>> found;  // lower-case DN -> classes
  if (reading_ahead()) {
    // Every class is read and kept (with a group's members), the filter
    // applied here, so that later walks of the same names need no request.
    std::vector<std::string> unknown;
    for (const std::string& dn : dns) {
      if (!known_object(endpoint, dn)) unknown.push_back(dn);
    }
    if (!unknown.empty()) {
      std::vector<Entry> entries;
      const Status status =
          search_by_dns(endpoint, unknown, "(objectClass=*)", {"objectClass", "member"}, entries);
      if (status.failed()) return status;
      for (const std::string& dn : unknown) keep_object(endpoint, dn, {});
      for (const Entry& entry : entries) {
        const auto* object_classes = entry.find("objectClass");
        keep_object(endpoint, entry.dn,
                    {true, object_classes ? *object_classes : std::vector<std::string>{},
                     whole_members(entry)});
      }
    }
    for (const std::string& dn : dns) {
      const KnownObject* known = known_object(endpoint, dn);
      if (!known || !known->exists) continue;
      ObjectState probe;
      probe.classes = known->classes;
      if (classes.empty() || std::any_of(classes.begin(), classes.end(),
                                         [&](const auto& c) { return has_class(probe, c); }))
        found[ascii_lower(dn)] = known->classes;
    }
  } else {
    std::vector<Entry> entries;
    const Status status =
        search_by_dns(endpoint, dns, class_filter(classes), {"objectClass"}, entries);
    if (status.failed()) return status;
    for (Entry& entry : entries) {
      const auto* object_classes = entry.find("objectClass");
      found[ascii_lower(entry.dn)] = object_classes ? *object_classes : std::vector<std::string>{};
    }
  }

  for (const std::string& dn : dns) {
    auto it = found.find(ascii_lower(dn));
    if (it == found.end()) continue;
    auto object = std::make_shared<ObjectState>();
    object->endpoint = endpoint;
    object->dn = dn;
    object->classes = it->second;
    objects.push_back(std::move(object));
  }
  return kOk;
}

Status Group::members(Members& members) {
  members = Members();
  if (!state_) return kObjectUnbound;
  members.owner_ = state_;
  members.kind_ = Members::Kind::group_members;
  return kOk;
}

Status Group::add(std::string_view member_path) {
  if (!state_) return kObjectUnbound;
  return change_member(*state_, member_path, LDAP_MOD_ADD);
}

Status Group::remove(std::string_view member_path) {
  if (!state_) return kObjectUnbound;
  return change_member(*state_, member_path, LDAP_MOD_DELETE);
}

Status User::groups(Members& groups) {
  groups = Members();
  if (!state_) return kObjectUnbound;
  groups.owner_ = state_;
  groups.kind_ = Members::Kind::user_groups;
  return kOk;
}

Status Members::put_filter(ClassFilter classes) {
  if (!owner_) return kObjectUnbound;
  filter_ = std::move(classes);
  return kOk;
}

Status Members::new_enum(Enumerator& items) {
  items = Enumerator();
  if (!owner_) return kObjectUnbound;
  const std::string attribute = kind_ == Kind::group_members ? "member" : "memberOf";
  std::vector<std::string> names;
  Status status = kOk;
  if (kind_ == Kind::group_members && owner_->members) {
    names = *owner_->members;  // read whole with the group's bind
  } else {
    status = with_connection(owner_->endpoint, [&](Connection& connection) {
      return read_values(connection, owner_->dn, attribute, names);
    });
  }
  if (status.failed()) return status;

  auto listing = std::make_shared<EnumState>();
  status = resolve_objects(owner_->endpoint, names, filter_, listing->items);
  if (status.failed()) return status;
  items.state_ = std::move(listing);
  return kOk;
}

}  // namespace txads::directory
