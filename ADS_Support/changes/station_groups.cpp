// AddStationToGroup and DeleteStationFromGroup: find the station in its
// container, bind the group, and add or remove the station's path. The group
// change takes effect at once.
#include "changes/station_groups.h"

#include <string>

#include "changes/child_lookup.h"
#include "changes/outcome.h"
#include "changes/relative_name.h"
#include "directory/ads.h"
#include "frame/export_frame.h"

namespace txads {
namespace {

using directory::Group;

enum class Change { add, remove };

int change_group(Change change, const char* station, const char* container_path,
                 const char* group_path, OutputBuffer error) {
  std::string member;
  Status s = read_child_path("computer", station, container_path, member);
  Group group;
  if (s.ok()) s = directory::ads_get_object(caller_path(group_path), group);
  if (s.ok()) s = change == Change::add ? group.add(member) : group.remove(member);
  return outcome(s, error);
}

}  // namespace

int AddStationToGroup(const char* station, const char* container_path, const char* group_path,
                      OutputBuffer error) {
  trace_entry("AddStationToGroup");
  return change_group(Change::add, station, container_path, group_path, error);
}

int DeleteStationFromGroup(const char* station, const char* container_path, const char* group_path,
                           OutputBuffer error) {
  trace_entry("DeleteStationFromGroup");
  return change_group(Change::remove, station, container_path, group_path, error);
}

}  // namespace txads
