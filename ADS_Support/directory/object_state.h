// What an Object handle holds, and the internal steps that bind, resolve
// and classify directory objects for ads.h. Private to the directory layer.
// A state is used by the thread that holds its handles.
#pragma once

#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "directory/ads.h"
#include "directory/connection.h"
#include "directory/ldap_path.h"
#include "directory/page_reader.h"

namespace txads::directory {

struct ObjectState {
  Endpoint endpoint;  // the server the object was bound through
  std::string dn;
  std::vector<std::string> classes;                   // objectClass values, most specific last
  bool is_new = false;                                // created, not yet written by set_info
  std::vector<std::pair<std::string, Value>> staged;  // put values, in order
  // A group's whole `member` list when its bind read it in one answer; unset
  // when the list needs ranged reads or may have changed since.
  std::optional<std::vector<std::string>> members;
};

struct EnumState {
  std::vector<std::shared_ptr<ObjectState>> items;
  size_t next = 0;
  // A container's children still to come, page by page; null when `items`
  // holds them all.
  std::unique_ptr<PageReader> pages;
  Endpoint endpoint;  // of the children still to come
};

// Appends an object state for each entry of a search that asked for
// objectClass.
void add_states(const Endpoint& endpoint, std::vector<Entry>& entries,
                std::vector<std::shared_ptr<ObjectState>>& states);

// Builds handles of any Object type from a state.
struct Binder {
  template <class T>
  static T make(std::shared_ptr<ObjectState> state) {
    return T(std::move(state));
  }
  static const std::shared_ptr<ObjectState>& state_of(const Object& object) {
    return object.state_;
  }
};

// Reads the object's classes (one base search). kNoSuchObject when absent.
// With `with_members`, the same search also reads a group's `member` list,
// kept in the state when it came whole (not in ranges).
Status bind_dn(const Endpoint& endpoint, const std::string& dn, std::shared_ptr<ObjectState>& state,
               bool with_members = false);

bool has_class(const ObjectState& state, std::string_view class_name);
// Classes whose objects hold children: organizational units, containers,
// domains, ... (not users, computers or groups).
bool is_container(const ObjectState& state);

// A group entry's `member` list when it came whole: unset when it came in
// ranges ("member;range=0-1499") or the entry is no group; no `member` at
// all is an empty group.
std::optional<std::vector<std::string>> whole_members(const Entry& entry);

// The entries named by `dns` that match `filter`, with `attributes`: one
// subtree search per naming context and batch of names, all sent together.
// Other objects of the same name (the value of the first RDN) may come too. Names in no domain
// are skipped. Names the server refers elsewhere (another domain of the
// forest) are looked for in the global catalog, under the same identity,
// without their `member` lists; their lower-case DNs go to
// `from_global_catalog`. One the catalog does not give is left out with a
// trace line.
Status search_by_dns(const Endpoint& endpoint, const std::vector<std::string>& dns,
                     const std::string& filter, const std::vector<std::string>& attributes,
                     std::vector<Entry>& entries,
                     std::set<std::string>* from_global_catalog = nullptr);

// "(|(objectClass=a)(objectClass=b))", or "(objectClass=*)" for no classes;
// class names escaped.
std::string class_filter(const ClassFilter& classes);

// The objects named by `dns` that pass `classes`, in the order of `dns`,
// read in batches (one search per batch, not one per object). Names that
// the directory does not hold, or that lie in no domain, are left out. An
// object of another domain than the endpoint's is bound through its own
// domain ("LDAP://other.example.com/...").
Status resolve_objects(const Endpoint& endpoint, const std::vector<std::string>& dns,
                       const ClassFilter& classes,
                       std::vector<std::shared_ptr<ObjectState>>& objects);

}  // namespace txads::directory
