// The station member walk IsStationInGroup: one group's computer and group
// members, computers compared by relative name. Writes no trace lines.
#include <string>

#include "directory/ads.h"
#include "frame/ascii_case.h"
#include "frame/conversions.h"
#include "frame/error_text.h"
#include "membership/group_path.h"
#include "membership/member_walk.h"
#include "membership/results.h"

namespace txads {
namespace {

using namespace membership;

// Enumerates the members; returns the status of the last fetch.
Status compare_members(directory::Enumerator& members, const std::string& station_text, int& result,
                       StringList& sub_groups) {
  directory::Object member;
  Status fetched = members.next(member);
  while (fetched == kOk && result != kMember) {
    std::string class_name;
    if (member.get_class(class_name).ok()) {
      const std::string kind = ascii_lower(from_directory(class_name));
      std::string text;
      if (kind == "computer" && member.get_name(text).ok()) {
        if (ascii_upper(from_directory(text)) == station_text) result = kMember;
      } else if (kind == "group" && member.get_ads_path(text).ok()) {
        sub_groups.add_tail(from_directory(text));
      }
    }
    member = directory::Object();
    fetched = members.next(member);
  }
  return fetched;
}

// Binds the group and walks its members; returns the status of the last
// directory call that ran.
Status walk_group(const std::string& group_path, const std::string& station_text, int& result,
                  StringList& sub_groups) {
  directory::Group group;
  const auto path = to_directory(group_path.c_str());
  Status status = path ? directory::ads_get_object(*path, group) : kInvalidArg;
  if (status.failed()) return status;
  result = kNotMember;

  directory::Members members;
  if (status = group.members(members); status.failed()) return status;
  if (status = members.put_filter({"computer", "group"}); status.failed()) return status;
  directory::Enumerator items;
  if (status = members.new_enum(items); status.failed()) return status;
  return compare_members(items, station_text, result, sub_groups);
}

}  // namespace

int IsStationInGroup(const char* station, const char* group, OutputBuffer error,
                     StringList& sub_groups) {
  int result = kNoAnswer;
  const std::string group_path = station_group_path(group);
  const std::string station_text = ascii_upper(std::string("cn=") + station);
  if (Status status = walk_group(group_path, station_text, result, sub_groups); status.failed())
    GetADSErrorText(status, error);
  return result;
}

}  // namespace txads
