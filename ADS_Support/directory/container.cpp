// IADsContainer: children by relative name, creation, deletion, moves and
// the filtered one-level enumeration (paged, so every child is listed).
#include "directory/ldap_ops.h"
#include "directory/listing_ahead.h"
#include "directory/object_state.h"
#include "directory/page_reader.h"
#include "directory/pool.h"
#include "directory/read_ahead.h"
#include "directory/status_map.h"
#include "frame/ascii_case.h"

namespace txads::directory {
namespace {

// The child's DN from a relative name as callers write it ("CN=PC042",
// "OU=Lab\/2" or "OU=Lab/2"); kBadPathname unless it is exactly one
// attribute=value, so a caller's "CN=a,OU=Other" or "CN=a+CN=b" never
// reaches another object; kInvalidDnSyntax for a zero byte in it.
Status child_dn(const ObjectState& parent, std::string_view rdn, std::string& dn) {
  std::string parsed;
  if (const Status status = parse_dn(rdn, parsed); status.failed()) return status;
  if (parsed.find('=') == std::string::npos || !is_single_rdn(parsed)) return kBadPathname;
  dn = parent.dn.empty() ? parsed : parsed + "," + parent.dn;
  return kOk;
}

// The child, when it exists and its own (most specific) class is the one
// asked for (any class for ""): a computer is also a "user" among its
// classes, yet asked for a "user" it is not found.
Status bind_child(const ObjectState& parent, std::string_view class_name, std::string_view rdn,
                  std::shared_ptr<ObjectState>& child) {
  std::string dn;
  Status status = child_dn(parent, rdn, dn);
  if (status.failed()) return status;
  status = bind_dn(parent.endpoint, dn, child);
  if (status.failed()) return status;
  if (!class_name.empty() &&
      (child->classes.empty() || !equal_ignoring_case(child->classes.back(), class_name))) {
    child.reset();
    return kNoSuchObject;
  }
  return kOk;
}

}  // namespace

Status Container::get_object(std::string_view class_name, std::string_view rdn, Object& child) {
  child = Object();
  if (!state_) return kObjectUnbound;
  std::shared_ptr<ObjectState> found;
  const Status status = bind_child(*state_, class_name, rdn, found);
  if (status.failed()) return status;
  child = Binder::make<Object>(std::move(found));
  return kOk;
}

Status Container::create(std::string_view class_name, std::string_view rdn, Object& child) {
  child = Object();
  if (!state_) return kObjectUnbound;
  if (class_name.empty()) return kInvalidArg;
  auto created = std::make_shared<ObjectState>();
  const Status status = child_dn(*state_, rdn, created->dn);
  if (status.failed()) return status;
  created->endpoint = state_->endpoint;
  created->classes = {std::string(class_name)};
  created->is_new = true;
  child = Binder::make<Object>(std::move(created));
  return kOk;
}

Status Container::delete_object(std::string_view class_name, std::string_view rdn) {
  if (!state_) return kObjectUnbound;
  std::shared_ptr<ObjectState> child;
  const Status status = bind_child(*state_, class_name, rdn, child);
  if (status.failed()) return status;
  return with_connection(state_->endpoint, [&](Connection& connection) {
    return delete_entry(connection, child->dn);
  });
}

Status Container::move_here(std::string_view source_path, Object* moved) {
  if (moved != nullptr) *moved = Object();
  if (!state_) return kObjectUnbound;
  LdapPath source;
  Status status = parse_path(source_path, source);
  if (status.failed()) return status;
  if (source.dn.empty()) return kBadPathname;
  // Bound first, so that only the object named moves (see bind_dn).
  std::shared_ptr<ObjectState> named;
  if (status = bind_dn(source.endpoint, source.dn, named); status.failed()) return status;
  const std::string rdn = first_rdn(source.dn);
  status = with_connection(state_->endpoint, [&](Connection& connection) {
    return rename_entry(connection, source.dn, rdn, state_->dn);
  });
  if (status.failed() || moved == nullptr) return status;

  std::shared_ptr<ObjectState> result;
  status = bind_dn(state_->endpoint, rdn + "," + state_->dn, result);
  if (status.failed()) return status;
  *moved = Binder::make<Object>(std::move(result));
  return kOk;
}

Status Container::put_filter(ClassFilter classes) {
  if (!state_) return kObjectUnbound;
  filter_ = std::move(classes);
  return kOk;
}

Status Container::new_enum(Enumerator& children) {
  children = Enumerator();
  if (!state_) return kObjectUnbound;
  auto listing = std::make_shared<EnumState>();
  listing->pages = take_listing_ahead(state_->endpoint);
  if (!listing->pages) listing->pages = std::make_unique<PageReader>();
  listing->endpoint = state_->endpoint;
  std::vector<Entry> entries;
  if (const auto* known = known_listing(state_->endpoint, state_->dn, filter_)) {
    entries = *known;
    listing->pages.reset();
  } else {
    const Status status = listing->pages->start(
        state_->endpoint, {state_->dn, Scope::one_level, class_filter(filter_), {"objectClass"}},
        entries);
    if (status.failed()) return status;
  }
  // A walk that binds the children next finds them here.
  for (const Entry& entry : entries) {
    if (!reading_ahead() || known_object(state_->endpoint, entry.dn)) continue;
    const auto* classes = entry.find("objectClass");
    keep_object(state_->endpoint, entry.dn,
                {true, classes ? *classes : std::vector<std::string>{}, std::nullopt});
  }
  add_states(listing->endpoint, entries, listing->items);
  children.state_ = std::move(listing);
  return kOk;
}

}  // namespace txads::directory
