// Guarded container calls on caller-named children (see child_lookup.h).
#include "changes/child_lookup.h"

#include <strings.h>

#include "changes/relative_name.h"

namespace txads {

Status get_child(directory::Container& container, std::string_view class_name, std::string_view rdn,
                 directory::Object& child) {
  Status s = check_single_child(rdn);
  if (s.ok()) s = container.get_object(class_name, rdn, child);
  // A computer is also a user to the directory; a lookup for one class must
  // not find an object whose own class is another.
  std::string own_class;
  if (s.ok()) s = child.get_class(own_class);
  if (s.ok() && (own_class.size() != class_name.size() ||
                 strncasecmp(own_class.c_str(), class_name.data(), class_name.size()) != 0)) {
    s = kNoSuchObject;
  }
  if (s.failed()) child = directory::Object();
  return s;
}

Status create_child(directory::Container& container, std::string_view class_name,
                    std::string_view rdn, directory::Object& child) {
  Status s = check_single_child(rdn);
  return s.failed() ? s : container.create(class_name, rdn, child);
}

Status delete_child(directory::Container& container, std::string_view class_name,
                    std::string_view rdn) {
  Status s = check_single_child(rdn);
  return s.failed() ? s : container.delete_object(class_name, rdn);
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
