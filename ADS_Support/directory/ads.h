// The directory operations, in the shape of the platform's directory service
// interfaces: bind an LDAP path as an object, container, group or user; read
// and write attributes; look up, create, delete and move children; read and
// change group members; enumerate with a class filter; translate names.
//
// Every operation returns a Status (HRESULT) mapped from the LDAP result as
// the platform's LDAP provider maps it (no such object 0x80072030, ...).
// All strings here are UTF-8. Objects are cheap handles onto a shared
// connection; they are not shared between threads, and everything they hold
// is released when the last handle goes.
//
// Paths: "LDAP://" [server [":" port] "/"] dn, with a "/" inside the dn
// written "\/". The provider name "LDAP" is case-sensitive.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "directory/value.h"
#include "frame/status.h"

namespace txads::directory {

struct ObjectState;
struct EnumState;
class Enumerator;
class Members;

// Class names for a filter, as ADsBuildVarArrayStr builds them.
using ClassFilter = std::vector<std::string>;

// IADs: one directory object.
class Object {
 public:
  Object() = default;
  bool bound() const { return state_ != nullptr; }

  Status get_name(std::string& name) const;         // relative name, e.g. "CN=Ann Smith"
  Status get_class(std::string& class_name) const;  // most specific class, e.g. "computer"
  Status get_ads_path(std::string& path) const;     // "LDAP://[server/]dn"
  // One attribute; kPropertyNotFound when the object holds no value for it.
  Status get(std::string_view attribute, Value& value);
  // Stages a value; written by set_info.
  Status put(std::string_view attribute, Value value);
  // Writes staged values (and a created object) to the directory.
  Status set_info();

  const std::string& distinguished_name() const;

 protected:
  explicit Object(std::shared_ptr<ObjectState> state) : state_(std::move(state)) {}
  std::shared_ptr<ObjectState> state_;
  friend struct Binder;
  friend class Enumerator;
};

// IADsContainer.
class Container : public Object {
 public:
  Container() = default;
  // A direct child of that class and relative name ("CN=PC042"); "" for any
  // class. kNoSuchObject also when the child's own (most specific) class is
  // another (a computer asked for as "user"); kBadPathname unless the
  // relative name is exactly one attribute=value ("CN=a\,b" is one);
  // kInvalidDnSyntax for a zero byte in it, raw or as "\00".
  Status get_object(std::string_view class_name, std::string_view rdn, Object& child);
  // A new child, written at its set_info.
  Status create(std::string_view class_name, std::string_view rdn, Object& child);
  // Deletes a direct child whose own class is that one, at once
  // (kNotAllowedOnNonLeaf while it has children). Same name rules as
  // get_object.
  Status delete_object(std::string_view class_name, std::string_view rdn);
  // Moves the object at source_path under this container, keeping its
  // relative name. `moved` (optional) receives the moved object.
  Status move_here(std::string_view source_path, Object* moved);
  Status put_filter(ClassFilter classes);
  // Direct children that pass the filter (all children without one).
  Status new_enum(Enumerator& children);

 private:
  using Object::Object;
  friend struct Binder;
  ClassFilter filter_;
};

// IADsMembers: a group's members or an account's groups.
class Members {
 public:
  Members() = default;
  Status put_filter(ClassFilter classes);
  Status new_enum(Enumerator& items);

 private:
  friend class Group;
  friend class User;
  std::shared_ptr<ObjectState> owner_;
  enum class Kind { group_members, user_groups } kind_ = Kind::group_members;
  ClassFilter filter_;
};

// IADsGroup.
class Group : public Object {
 public:
  Group() = default;
  Status members(Members& members);
  Status add(std::string_view member_path);     // at once
  Status remove(std::string_view member_path);  // at once

 private:
  using Object::Object;
  friend struct Binder;
};

// IADsUser.
class User : public Object {
 public:
  User() = default;
  Status groups(Members& groups);

 private:
  using Object::Object;
  friend struct Binder;
};

// IEnumVARIANT: next() gives S_OK with one object, S_FALSE at the end, or a
// failure.
class Enumerator {
 public:
  Enumerator() = default;
  Status next(Object& item);

 private:
  friend class Container;
  friend class Members;
  std::shared_ptr<EnumState> state_;
};

// ADsGetObject: binds a path asking for an interface. An object without that
// interface gives kNoInterface; a path that is not "LDAP://..." gives
// kBadPathname, a dn with a zero byte kInvalidDnSyntax; an object the server
// answers for under another dn than the one named gives kNoSuchObject.
Status ads_get_object(std::string_view path, Object& object);
Status ads_get_object(std::string_view path, Container& container);
// A group's bind reads its member list with its classes, which saves a
// request for callers that go on to its members; one that only asks whether
// the group is there leaves `read_members` false and gets a smaller answer.
Status ads_get_object(std::string_view path, Group& group, bool read_members = true);
Status ads_get_object(std::string_view path, User& user);

// IADsNameTranslate on the global catalog.
enum class NameType { rfc1779 = 1, nt4 = 3 };  // ADS_NAME_TYPE_1779, ADS_NAME_TYPE_NT4
inline constexpr int ADS_NAME_INITTYPE_GC = 3;

class NameTranslate {
 public:
  NameTranslate();
  ~NameTranslate();
  NameTranslate(const NameTranslate&) = delete;
  NameTranslate& operator=(const NameTranslate&) = delete;

  // Only ADS_NAME_INITTYPE_GC is supported (the path is not used); fails
  // when no global catalog can be reached.
  Status init(int init_type, std::string_view path);
  // 0x80072116 (ERROR_DS_NAME_ERROR_NOT_FOUND) for a name that cannot be
  // resolved (or is answered for under another dn), 0x80072117 when several
  // objects match; kInvalidDnSyntax for a zero byte in the name.
  Status set(NameType type, std::string_view name);
  // 0x80072118 (ERROR_DS_NAME_ERROR_NO_MAPPING) when the object has no
  // domain\name form (an organizational unit); E_UNEXPECTED before set.
  Status get(NameType type, std::string& name);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace txads::directory
