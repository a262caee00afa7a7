// The group checks tell a group text's form by plain, case-sensitive
// substring searches: "LDAP://" anywhere, then (users only) "S-" anywhere.
#include <gtest/gtest.h>

#include "membership/group_form.h"

namespace txads::membership {
namespace {

struct Case {
  const char* group;
  GroupForm user;
  GroupForm station;
};

constexpr GroupForm kPath = GroupForm::ldap_path;
constexpr GroupForm kSid = GroupForm::sid_text;
constexpr GroupForm kName = GroupForm::account_name;

const Case kCases[] = {
    {"LDAP://CN=Staff,OU=Groups,DC=corp", kPath, kPath},
    {"LDAP://dc1.corp/CN=Staff,DC=corp", kPath, kPath},
    {"see LDAP://CN=S-1,DC=corp", kPath, kPath},
    {"ldap://CN=Staff,DC=corp", kName, kSid},
    {"ldap://CN=USERS-EAST,DC=corp", kSid, kSid},
    {"S-1-5-21-1-2-3-513", kSid, kSid},
    {"S-1-1-0", kSid, kSid},
    {"CORP\\USERS-EAST", kSid, kSid},
    {"CORP\\Sales-East", kName, kSid},
    {"CORP\\s-team", kName, kSid},
    {"CORP\\Domain Users", kName, kSid},
    {"s-1-5-21-1-2-3-513", kName, kSid},
    {"", kName, kSid},
    {"LDAP:/", kName, kSid},
};

TEST(GroupForm, EveryTextOfTheTableHasItsForm) {
  for (const Case& c : kCases) {
    EXPECT_EQ(user_group_form(c.group), c.user) << c.group;
    EXPECT_EQ(station_group_form(c.group), c.station) << c.group;
  }
}

}  // namespace
}  // namespace txads::membership
