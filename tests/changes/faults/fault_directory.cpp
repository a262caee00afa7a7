// The fault-injecting stand-in for the directory operations (see
// fault_directory.h). Only the operations the change workers use are here.
#include "fault_directory.h"

#include <memory>

#include "directory/ads.h"

namespace fault_directory {

Script& script() {
  static Script current;
  return current;
}

std::vector<std::string>& log() {
  static std::vector<std::string> calls;
  return calls;
}

void reset() {
  script() = Script();
  log().clear();
}

}  // namespace fault_directory

namespace txads::directory {

using fault_directory::log;
using fault_directory::script;

struct ObjectState {
  std::string dn;
  std::string class_name;
  int set_info_calls = 0;
};

struct Binder {
  template <class T>
  static T make(std::string dn, std::string class_name) {
    auto state = std::make_shared<ObjectState>();
    state->dn = std::move(dn);
    state->class_name = std::move(class_name);
    return T(std::move(state));
  }
};

namespace {

template <class T>
Status bind(const char* what, std::string_view path, T& out, const char* class_name) {
  log().push_back(std::string("bind ") + what + " " + std::string(path));
  if (path.substr(0, 7) != "LDAP://") return kBadPathname;
  out = Binder::make<T>(std::string(path.substr(7)), class_name);
  return kOk;
}

}  // namespace

Status ads_get_object(std::string_view path, Container& container) {
  return bind("container", path, container, "organizationalUnit");
}

Status ads_get_object(std::string_view path, Group& group) {
  return bind("group", path, group, "group");
}

Status Object::get_class(std::string& class_name) const {
  class_name = state_->class_name;
  return kOk;
}

Status Object::get_ads_path(std::string& path) const {
  log().push_back("get_ads_path");
  if (script().path_read.failed()) return script().path_read;
  path = script().empty_path ? "" : "LDAP://" + state_->dn;
  return kOk;
}

Status Object::get(std::string_view attribute, Value& value) {
  log().push_back("get " + std::string(attribute));
  if (script().read_account_control.failed()) return script().read_account_control;
  value = Value(Value::Syntax::integer, {script().account_control});
  return kOk;
}

Status Object::put(std::string_view attribute, Value value) {
  log().push_back("put " + std::string(attribute) + "=" + value.first());
  auto fails = script().put_fails.find(std::string(attribute));
  return fails == script().put_fails.end() ? kOk : fails->second;
}

Status Object::set_info() {
  log().push_back("set_info");
  auto fails = script().set_info_fails.find(++state_->set_info_calls);
  return fails == script().set_info_fails.end() ? kOk : fails->second;
}

Status Container::get_object(std::string_view class_name, std::string_view rdn, Object& child) {
  log().push_back("get_object " + std::string(class_name) + " " + std::string(rdn));
  child = Binder::make<Object>(std::string(rdn) + "," + state_->dn, std::string(class_name));
  return kOk;
}

Status Container::create(std::string_view class_name, std::string_view rdn, Object& child) {
  log().push_back("create " + std::string(class_name) + " " + std::string(rdn));
  child = Binder::make<Object>(std::string(rdn) + "," + state_->dn, std::string(class_name));
  return kOk;
}

Status Container::delete_object(std::string_view class_name, std::string_view rdn) {
  log().push_back("delete_object " + std::string(class_name) + " " + std::string(rdn));
  return kOk;
}

Status Container::move_here(std::string_view source_path, Object*) {
  log().push_back("move_here " + std::string(source_path));
  return kOk;
}

Status Group::add(std::string_view member_path) {
  log().push_back("add " + std::string(member_path));
  return kOk;
}

Status Group::remove(std::string_view member_path) {
  log().push_back("remove " + std::string(member_path));
  return kOk;
}

}  // namespace txads::directory
