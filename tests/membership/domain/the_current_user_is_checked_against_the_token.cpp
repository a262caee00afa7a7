// TXADIsCurrentUserInGroup asks the calling user's token: the user's own
// SID, every group of the user's tokenGroups (nested and primary ones too)
// and the SIDs of every logon. The token is the ticket cache's user's.
#include <gtest/gtest.h>

#include "checks.h"
#include "scratch_directory.h"
#include "txads.h"

namespace membership_test {
namespace {

struct Case {
  std::string group;
  int ann;
  int bob;
};

TEST(CurrentUserInGroup, AnswersFromTheTokenOfTheCacheInUse) {
  const std::string devs = seeded("CN=Devs,OU=Dev,OU=Staff");
  const std::string users_sid = sid_of(seeded("CN=Domain Users,CN=Users"));
  const std::string domain = users_sid.substr(0, users_sid.rfind('-'));
  const std::string lower_devs = "ldap://cn=devs,ou=dev,ou=staff,dc=corp,dc=example,dc=com";
  const Case cases[] = {
      {"S-1-1-0", 1, 1},       // Everyone
      {"S-1-5-11", 1, 1},      // Authenticated Users
      {"S-1-5-32-544", 2, 2},  // Administrators
      {users_sid, 1, 1},       // primary group
      {sid_of(devs), 1, 2},
      {path_of(devs), 1, 2},
      {lower_devs, 1, 2},
      {"LDAP://dc1.corp.example.com/" + devs, 1, 2},
      {"LDAP://xyz/" + seeded("CN=CycleB,OU=Groups"), 2, 1},
      {sid_of(seeded("CN=Ann Archer,OU=Dev,OU=Staff")), 1, 2},  // the user's own SID
      {domain + "-999999", 2, 2},
  };
  for (const Case& c : cases) {
    for (const char* user : {"ann", "bob"}) {
      AsUser as(user);
      GuardedBuffer error;
      EXPECT_EQ(TXADIsCurrentUserInGroup(c.group.c_str(), error.data(), error.length()),
                std::string(user) == "ann" ? c.ann : c.bob)
          << user << " in " << c.group;
      EXPECT_TRUE(error.untouched()) << user << " in " << c.group;
    }
  }
}

TEST(CurrentUserInGroup, NestedGroupsAreInTheTokenWhateverTheRecursionFlag) {
  AsUser dave("dave");
  TXADSetRecursFlag(0);
  GuardedBuffer error;
  EXPECT_EQ(TXADIsCurrentUserInGroup(path_of(seeded("CN=Nest1,OU=Groups")).c_str(), error.data(),
                                     error.length()),
            1);
}

TEST(CurrentUserInGroup, TextsWithoutSidOrCnGiveNoAnswerAndLeaveTheBuffer) {
  const std::string ou = path_of(seeded("OU=Groups"));
  const char* texts[] = {"CORP\\Staff", "", nullptr, "S-1-x", ou.c_str(), "LDAP://"};
  for (const char* text : texts) {
    GuardedBuffer error;
    EXPECT_EQ(TXADIsCurrentUserInGroup(text, error.data(), error.length()), -1)
        << (text ? text : "(null)");
    EXPECT_TRUE(error.untouched()) << (text ? text : "(null)");
  }
}

TEST(CurrentUserInGroup, ADnOfNoObjectGivesNoAnswerWithAnErrorText) {
  GuardedBuffer error(30);
  EXPECT_EQ(TXADIsCurrentUserInGroup(path_of(seeded("CN=Nobody,OU=Groups")).c_str(), error.data(),
                                     error.length()),
            -1);
  EXPECT_NE(error.text(), "");
  EXPECT_TRUE(error.guards_intact());
}

}  // namespace
}  // namespace membership_test
