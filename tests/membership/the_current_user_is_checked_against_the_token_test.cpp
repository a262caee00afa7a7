// TXADIsCurrentUserInGroup asks the calling user's token: the user's own
// SID, the logon SIDs every token carries and every group of the user's
// tokenGroups (nested and primary groups too). The token is that of the
// ticket cache in use; the recursion flag changes nothing.
#include <gtest/gtest.h>

#include "support/domain.h"
#include "support/guarded_buffer.h"
#include "txads.h"

namespace {

using txads_test::path_of;
using txads_test::seeded;
using txads_test::sid_of;

TEST(CurrentUserInGroup, AnswersFromTheTokenOfTheCacheInUse) {
  const std::string devs = seeded("CN=Devs,OU=Dev,OU=Staff");
  const std::string users_sid = sid_of(seeded("CN=Domain Users,CN=Users"));
  const struct {
    std::string group;
    int ann, bob, dave;
    bool error_text = false;  // else the error buffer stays as passed
  } cases[] = {
      {"S-1-1-0", 1, 1, 1},   // Everyone
      {"S-1-2-0", 1, 1, 1},   // Local
      {"S-1-5-4", 1, 1, 1},   // Interactive
      {"S-1-5-11", 1, 1, 1},  // Authenticated Users
      {"S-1-5-15", 1, 1, 1},  // This Organization
      {sid_of(seeded("CN=Ann Archer,OU=Dev,OU=Staff")), 1, 2, 2},
      {users_sid, 1, 1, 1},  // primary group
      {sid_of(devs), 1, 2, 2},
      {"ldap://" + devs, 1, 2, 2},
      {"LDAP://dc1.corp.example.com/" + seeded("CN=CycleB,OU=Groups"), 2, 1, 2},
      {path_of(seeded("CN=Nest1,OU=Groups")), 2, 2, 1},  // five levels up
      {"S-1-5-32-544", 2, 2, 2},
      {users_sid + "999", 2, 2, 2},  // no such group
      {"CORP\\Devs", -1, -1, -1},
      {path_of(seeded("OU=Groups")), -1, -1, -1},
      {path_of(seeded("CN=Nobody,OU=Groups")), -1, -1, -1, true},
  };
  TXADSetRecursFlag(0);
  for (const auto& c : cases)
    for (const auto& [user, expected] :
         {std::pair{"ann", c.ann}, {"bob", c.bob}, {"dave", c.dave}}) {
      txads_test::AsUser as(user);
      txads_test::GuardedBuffer error;
      EXPECT_EQ(TXADIsCurrentUserInGroup(c.group.c_str(), error.data(), error.length()), expected)
          << user << " in " << c.group;
      EXPECT_EQ(!error.untouched(), c.error_text) << user << " in " << c.group;
    }
}

}  // namespace
