// IADs and ADsGetObject: binding a path is one base search for objectClass;
// the interface asked for is decided from the classes.
#include <algorithm>

#include "directory/ldap_ops.h"
#include "directory/object_state.h"
#include "directory/pool.h"
#include "directory/read_ahead.h"
#include "directory/same_dn.h"
#include "directory/schema.h"
#include "directory/search_ahead.h"
#include "directory/status_map.h"
#include "frame/ascii_case.h"

namespace txads::directory {
namespace {

constexpr std::string_view kContainerClasses[] = {"organizationalUnit",
                                                  "container",
                                                  "domainDNS",
                                                  "domain",
                                                  "builtinDomain",
                                                  "lostAndFound",
                                                  "configuration",
                                                  "crossRefContainer",
                                                  "dMD",
                                                  "msDS-QuotaContainer",
                                                  "organization",
                                                  "country",
                                                  "locality",
                                                  "sitesContainer",
                                                  "site",
                                                  "serversContainer",
                                                  "subnetContainer",
                                                  "nTDSService",
                                                  "rpcContainer",
                                                  "infrastructureUpdate"};

template <class T>
Status bind_as(std::string_view path, T& out, bool (*offers)(const ObjectState&),
               bool with_members = false) {
  out = T();
  LdapPath parsed;
  Status status = parse_path(path, parsed);
  if (status.failed()) return status;
  std::shared_ptr<ObjectState> state;
  status = bind_dn(parsed.endpoint, parsed.dn, state, with_members);
  if (status.failed()) return status;
  if (offers != nullptr && !offers(*state)) return kNoInterface;
  out = Binder::make<T>(std::move(state));
  return kOk;
}

bool is_group(const ObjectState& state) {
  return has_class(state, "group");
}
bool is_user(const ObjectState& state) {
  return has_class(state, "user");
}

const Value* staged_value(const ObjectState& state, std::string_view attribute) {
  for (const auto& [name, value] : state.staged) {
    if (equal_ignoring_case(name, attribute)) return &value;
  }
  return nullptr;
}

}  // namespace

std::optional<std::vector<std::string>> whole_members(const Entry& entry) {
  const auto* classes = entry.find("objectClass");
  const bool group = classes && std::any_of(classes->begin(), classes->end(), [](const auto& c) {
                       return equal_ignoring_case(c, "group");
                     });
  const bool ranged =
      std::any_of(entry.attributes.begin(), entry.attributes.end(), [](const auto& attribute) {
        return attribute.first.size() > 7 &&
               equal_ignoring_case(attribute.first.substr(0, 7), "member;");
      });
  if (!group || ranged) return std::nullopt;
  const auto* members = entry.find("member");
  return members ? *members : std::vector<std::string>{};
}

namespace {

// Whether a bind asked for a group's members reads them itself: a range size
// set for tests asks for ranged reads, and the members are then read by
// their own requests.
bool bind_reads_members(bool with_members) {
  return with_members && range_size() == 0;
}

}  // namespace

SearchRequest bind_request(const std::string& dn, bool with_members) {
  std::vector<std::string> attributes = {"objectClass"};
  if (bind_reads_members(with_members)) attributes.push_back("member");
  return {dn, Scope::base, kEveryObject, std::move(attributes)};
}

Status bind_dn(const Endpoint& endpoint, const std::string& dn, std::shared_ptr<ObjectState>& state,
               bool with_members) {
  const bool read_members = bind_reads_members(with_members);
  if (const KnownObject* known = dn.empty() ? nullptr : known_object(endpoint, dn);
      known && known->exists && (!read_members || known->members)) {
    state = std::make_shared<ObjectState>();
    state->endpoint = endpoint;
    state->dn = dn;
    state->classes = known->classes;
    if (read_members) state->members = known->members;
    return kOk;
  }
  std::vector<Entry> entries;
  const SearchRequest request = bind_request(dn, with_members);
  const Status status = with_connection(endpoint, [&](Connection& connection) {
    entries.clear();
    return search_entries(connection, request, entries);
  });
  if (status.failed()) return status;
  if (entries.empty()) return kNoSuchObject;
  // A server can answer for another object than the one named (it reads
  // "OU=Lab\20" as "OU=Lab"): that object is never the one bound.
  if (!dn.empty() && dn.front() != '<' && !same_dn(dn, entries.front().dn)) return kNoSuchObject;
  state = std::make_shared<ObjectState>();
  state->endpoint = endpoint;
  state->dn = dn.empty() ? entries.front().dn : dn;
  if (const auto* classes = entries.front().find("objectClass")) state->classes = *classes;
  if (read_members) {
    // A long list comes in ranges and is not kept.
    state->members = whole_members(entries.front());
    if (!dn.empty()) keep_object(endpoint, dn, {true, state->classes, state->members});
  } else if (!dn.empty() && !known_object(endpoint, dn)) {
    keep_object(endpoint, dn, {true, state->classes, std::nullopt});
  }
  return kOk;
}

bool has_class(const ObjectState& state, std::string_view class_name) {
  return std::any_of(state.classes.begin(), state.classes.end(),
                     [&](const std::string& c) { return equal_ignoring_case(c, class_name); });
}

bool is_container(const ObjectState& state) {
  if (is_group(state) || is_user(state)) return false;
  return std::any_of(std::begin(kContainerClasses), std::end(kContainerClasses),
                     [&](std::string_view c) { return has_class(state, c); });
}

Status ads_get_object(std::string_view path, Object& object) {
  return bind_as(path, object, nullptr);
}
Status ads_get_object(std::string_view path, Container& container) {
  return bind_as(path, container, is_container);
}
Status ads_get_object(std::string_view path, Group& group, bool read_members) {
  return bind_as(path, group, is_group, read_members);
}
Status ads_get_object(std::string_view path, User& user) {
  return bind_as(path, user, is_user);
}

Status Object::get_name(std::string& name) const {
  if (!state_) return kObjectUnbound;
  name = first_rdn(state_->dn);
  return kOk;
}

Status Object::get_class(std::string& class_name) const {
  if (!state_) return kObjectUnbound;
  if (state_->classes.empty()) return kPropertyNotFound;
  class_name = state_->classes.back();
  return kOk;
}

Status Object::get_ads_path(std::string& path) const {
  if (!state_) return kObjectUnbound;
  path = format_path(state_->endpoint.server, state_->dn);
  return kOk;
}

const std::string& Object::distinguished_name() const {
  static const std::string none;
  return state_ ? state_->dn : none;
}

Status Object::get(std::string_view attribute, Value& value) {
  if (!state_) return kObjectUnbound;
  if (attribute.empty()) return kInvalidArg;
  if (const Value* staged = staged_value(*state_, attribute)) {
    value = *staged;
    return value.empty() ? kPropertyNotFound : kOk;
  }
  if (state_->is_new) return kPropertyNotFound;

  std::vector<std::string> values;
  const std::string name(attribute);
  Status status = with_connection(state_->endpoint, [&](Connection& connection) {
    return read_values(connection, state_->dn, name, values);
  });
  if (status.failed()) return status;
  if (values.empty()) return kPropertyNotFound;

  Value::Syntax syntax = Value::Syntax::string;
  status = attribute_syntax(state_->endpoint, attribute, syntax);
  if (status.failed() && !(status == kPropertyNotFound)) return status;
  value = Value(syntax, std::move(values));
  return kOk;
}

Status Object::put(std::string_view attribute, Value value) {
  if (!state_) return kObjectUnbound;
  if (attribute.empty()) return kInvalidArg;
  for (auto& [name, staged] : state_->staged) {
    if (equal_ignoring_case(name, attribute)) {
      staged = std::move(value);
      return kOk;
    }
  }
  state_->staged.emplace_back(std::string(attribute), std::move(value));
  return kOk;
}

Status Object::set_info() {
  if (!state_) return kObjectUnbound;
  ObjectState& state = *state_;
  if (!state.is_new && state.staged.empty()) return kOk;
  state.members.reset();  // a written `member` makes the list read at bind stale

  std::vector<Change> changes;
  if (state.is_new) changes.push_back({LDAP_MOD_ADD, "objectClass", {state.classes.back()}});
  for (const auto& [name, value] : state.staged) {
    if (state.is_new && value.empty()) continue;
    changes.push_back({state.is_new ? LDAP_MOD_ADD : LDAP_MOD_REPLACE, name, value.values()});
  }
  const Status status = with_connection(state.endpoint, [&](Connection& connection) {
    return state.is_new ? add_entry(connection, state.dn, changes)
                        : modify_entry(connection, state.dn, changes);
  });
  if (status.failed()) return status;
  state.is_new = false;
  state.staged.clear();
  return kOk;
}

}  // namespace txads::directory
