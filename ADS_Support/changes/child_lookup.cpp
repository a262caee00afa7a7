// Guarded container calls on caller-named children (see child_lookup.h).
#include "changes/child_lookup.h"

#include "changes/relative_name.h"

namespace txads {

// The directory layer itself refuses a relative name that is not exactly one
// attribute=value and finds only objects whose own class is the one asked
// for, so these calls pass straight through.
Status get_child(directory::Container& container, std::string_view class_name, std::string_view rdn,
                 directory::Object& child) {
  return container.get_object(class_name, rdn, child);
}

Status create_child(directory::Container& container, std::string_view class_name,
                    std::string_view rdn, directory::Object& child) {
  return container.create(class_name, rdn, child);
}

Status delete_child(directory::Container& container, std::string_view class_name,
                    std::string_view rdn) {
  return container.delete_object(class_name, rdn);
}

Status read_child_path(std::string_view class_name, const char* name, const char* container_path,
                       std::string& path) {
  path.clear();
  directory::Container container;
  Status s = directory::ads_get_object(caller_path(container_path), container);
  std::string rdn;
  if (s.ok()) s = build_relative_name("cn=", name, rdn);
  directory::Object child;
  if (s.ok()) s = get_child(container, class_name, rdn, child);
  std::string found;
  if (s.ok()) s = child.get_ads_path(found);
  if (s.ok() && found.empty()) s = kFail;
  if (s.ok()) path = std::move(found);
  return s;
}

}  // namespace txads
