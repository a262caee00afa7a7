// CreateOU, DeleteOU and MoveOUToContainer on the directory operations.
// Creation counts an existing unit as success and deletion counts a missing
// one as success; neither reports the lookup's own failure.
#include "changes/organizational_units.h"

#include <cstring>
#include <string>

#include "changes/child_lookup.h"
#include "changes/outcome.h"
#include "changes/relative_name.h"
#include "directory/ads.h"
#include "frame/export_frame.h"
#include "frame/ldap_path_text.h"

namespace txads {
namespace {

using directory::Container;
using directory::Object;

constexpr const char* kUnitClass = "organizationalUnit";

// Binds the parent and builds "OU=<unit>": the status of the first that fails.
Status open_parent(const char* parent_path, const char* unit, Container& parent, std::string& rdn) {
  Status s = directory::ads_get_object(caller_path(parent_path), parent);
  if (s.ok()) s = build_relative_name("OU=", unit, rdn);
  return s;
}

// Whether the unit, found or new, answers as a container: the platform's
// request for its container interface.
bool answers_as_container(const Object& unit) {
  std::string path;
  Container container;
  return unit.get_ads_path(path).ok() && directory::ads_get_object(path, container).ok();
}

}  // namespace

int CreateOU(const char* parent_path, const char* unit, OutputBuffer error) {
  trace_entry("CreateOU");
  if (!longer_than_provider_prefix(parent_path)) return -1;

  Container parent;
  std::string rdn;
  if (Status s = open_parent(parent_path, unit, parent, rdn); s.failed()) return outcome(s, error);

  Object found;
  if (get_child(parent, kUnitClass, rdn, found).ok()) {
    return answers_as_container(found) ? 0 : -1;
  }
  // Not found, for whatever reason: create it. The lookup's status is dropped.
  Object created;
  Status s = create_child(parent, kUnitClass, rdn, created);
  if (s.ok()) s = created.set_info();
  if (s.failed()) return outcome(s, error);
  return answers_as_container(created) ? 0 : -1;
}

int DeleteOU(const char* parent_path, const char* unit, OutputBuffer error) {
  trace_entry("DeleteOU");
  if (!longer_than_provider_prefix(parent_path)) return -1;

  Container parent;
  std::string rdn;
  if (Status s = open_parent(parent_path, unit, parent, rdn); s.failed()) return outcome(s, error);

  Object found;
  if (get_child(parent, kUnitClass, rdn, found).failed()) return 0;  // nothing to delete
  // A refusal (a unit that still holds objects, no rights) leaves the buffer as it was.
  return delete_child(parent, kUnitClass, rdn).ok() ? 0 : -1;
}

int MoveOUToContainer(const char* unit_path, const char* destination_path, OutputBuffer error) {
  trace_entry("MoveOUToContainer");

  Container destination;
  Status s = directory::ads_get_object(caller_path(destination_path), destination);
  if (s.ok()) s = destination.move_here(caller_path(unit_path), nullptr);
  return outcome(s, error);
}

}  // namespace txads
