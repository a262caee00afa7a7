// The user member walk IsUserInGroup: one group's user and group members,
// users compared by DN. Every step is traced.
#include <string>

#include "directory/ads.h"
#include "directory/ldap_path.h"
#include "frame/conversions.h"
#include "frame/error_text.h"
#include "frame/ldap_path_text.h"
#include "frame/trace.h"
#include "membership/group_path.h"
#include "membership/member_walk.h"
#include "membership/name_translation.h"
#include "membership/results.h"

namespace txads {
namespace {

using namespace membership;

// "CN=" + the upper-cased name, replaced by the upper-cased DN when the
// account name translates (once per nested search, see TranslationScope).
std::string user_comparison_text(const char* user) {
  std::string text = ascii_upper(std::string("cn=") + user);
  std::string dn;
  if (translate_name(user, directory::NameType::nt4, directory::NameType::rfc1779, dn).ok())
    text = ascii_upper(dn);
  return text;
}

// A member's path upper-cased and cut to begin at its first "CN=", so that
// the scheme and a server part drop away (a path without "CN=" stays whole),
// read back as a dn: "CN=SALES\/EAST" compares as "CN=SALES/EAST".
std::string member_comparison_text(const std::string& ads_path) {
  return directory::unescape_path_dn(ascii_upper(upper_dn_from_first_cn(from_directory(ads_path))));
}

// Enumerates the members; returns the status of the last fetch.
Status compare_members(directory::Enumerator& members, const std::string& user_text, int& result,
                       StringList& sub_groups) {
  directory::Object member;
  Status fetched = members.next(member);
  while (fetched == kOk && result != kMember) {
    std::string class_name;
    if (member.get_class(class_name).ok()) {
      const std::string kind = ascii_lower(from_directory(class_name));
      std::string path;
      if (kind == "user" && member.get_ads_path(path).ok()) {
        const std::string member_text = member_comparison_text(path);
        trace("Compare users: '%s' and '%s'.\n", user_text.c_str(), member_text.c_str());
        if (member_text == user_text) {
          result = kMember;
          trace("user found.\n");
        }
      } else if (kind == "group" && member.get_ads_path(path).ok()) {
        std::string entry = from_directory(path);
        sub_groups.add_tail(entry);
        trace("Found sub group: '%s'.\n", entry.c_str());
      }
    }
    member = directory::Object();
    fetched = members.next(member);
  }
  return fetched;
}

// Binds the group and walks its members; returns the status of the last
// directory call that ran.
Status walk_group(const std::string& group_path, const std::string& user_text, int& result,
                  StringList& sub_groups) {
  directory::Group group;
  const auto path = to_directory(group_path.c_str());
  Status status = path ? directory::ads_get_object(*path, group) : kInvalidArg;
  if (status.failed()) {
    trace("cannot getting AD object '%s'.\n", group_path.c_str());
    return status;
  }
  trace("Getting AD object '%s' was succesfully.\n", group_path.c_str());
  result = kNotMember;

  directory::Members members;
  if (status = group.members(members); status.failed()) {
    trace("Error while getting group members.\n");
    return status;
  }
  if (status = members.put_filter({"user", "group"}); status.failed()) {
    trace("Error while setting filter for group members.\n");
    return status;
  }
  directory::Enumerator items;
  if (status = members.new_enum(items); status.failed()) {
    trace("Error while enumerating group members.\n");
    return status;
  }
  return compare_members(items, user_text, result, sub_groups);
}

}  // namespace

int IsUserInGroup(const char* user, const char* group, OutputBuffer error, StringList& sub_groups) {
  trace("run function 'IsUserInGroup' for user '%s', group '%s'.\n", user, group);
  int result = kNoAnswer;
  const std::string group_path = user_group_path(group);
  const std::string user_text = user_comparison_text(user);
  trace("LDAP user name '%s'.\n", user_text.c_str());

  if (Status status = walk_group(group_path, user_text, result, sub_groups); status.failed()) {
    GetADSErrorText(status, error);
    trace("an AD error was occured, '%s'.\n", traced(error).c_str());
  }
  return result;
}

}  // namespace txads
