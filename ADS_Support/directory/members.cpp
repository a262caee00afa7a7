// IADsGroup, IADsUser, IADsMembers and IEnumVARIANT. A group's members are
// its `member` values (taken from the group's bind when they came whole,
// otherwise read in ranges), an account's groups its `memberOf`
// values, as the platform's provider gives them (the primary group is not
// among them). Both are turned into objects with their classes by one
// search per batch of names, filtered by class on the server
// (names_search.cpp).
#include <algorithm>
#include <map>
#include <set>

#include "directory/ldap_ops.h"
#include "directory/object_state.h"
#include "directory/pool.h"
#include "directory/read_ahead.h"
#include "directory/status_map.h"
#include "frame/ascii_case.h"

namespace txads::directory {
namespace {

// Where to bind `dn`, a name that `endpoint` listed: there, unless it lies
// in another domain, whose own controllers hold it.
Endpoint endpoint_of(const Endpoint& endpoint, const std::string& dn) {
  const std::string domain = dns_name_of(dn);
  if (domain.empty() || endpoint.domain.empty() || equal_ignoring_case(domain, endpoint.domain))
    return endpoint;
  LdapPath own;
  if (parse_path(format_path(domain, dn), own).failed()) return endpoint;
  return own.endpoint;
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
  if (classes.empty()) return kEveryObject;
  std::string filter = classes.size() > 1 ? "(|" : "";
  for (const std::string& name : classes)
    filter += "(objectClass=" + escape_filter_value(name) + ")";
  if (classes.size() > 1) filter += ")";
  return filter;
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
      std::set<std::string> from_catalog;  // their member lists may be partial
      const Status status = search_by_dns(endpoint, unknown, kEveryObject,
                                          {"objectClass", "member"}, entries, &from_catalog);
      if (status.failed()) return status;
      for (const std::string& dn : unknown) keep_object(endpoint, dn, {});
      for (const Entry& entry : entries) {
        const auto* object_classes = entry.find("objectClass");
        keep_object(
            endpoint, entry.dn,
            {true, object_classes ? *object_classes : std::vector<std::string>{},
             from_catalog.count(ascii_lower(entry.dn)) ? std::nullopt : whole_members(entry)});
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
    object->endpoint = endpoint_of(endpoint, dn);
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
