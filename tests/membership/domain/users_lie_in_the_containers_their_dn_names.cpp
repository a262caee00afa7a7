// TXADIsUserInContainer and TXADIsCurrentUserInContainer: the user's DN,
// from the global catalog or from the ticket cache's principal, holds the
// container's DN as text.
#include <gtest/gtest.h>

#include "checks.h"
#include "frame/system_messages.h"
#include "frame/win32_errors.h"
#include "scratch_directory.h"
#include "txads.h"

namespace membership_test {
namespace {

struct Case {
  const char* account;
  std::string path;
  int expected;
};

TEST(UserInContainer, NamedUserIsInEveryContainerAboveItAndNoOther) {
  const std::string base = base_dn();
  const Case cases[] = {
      {"CORP\\ann", path_of(seeded("OU=Dev,OU=Staff")), 1},
      {"CORP\\ann", path_of(seeded("OU=Staff")), 1},
      {"CORP\\ann", "LDAP://ou=staff,dc=corp,dc=example,dc=com", 1},
      {"CORP\\ann", path_of(base), 1},
      {"CORP\\ann", path_of(seeded("OU=Office")), 2},
      {"CORP\\ann", "LDAP://dc1.corp.example.com/" + seeded("OU=Staff"), 2},
      {"CORP\\bob", path_of(seeded("OU=Dev,OU=Staff")), 2},
      {"CORP\\jsmith", path_of(seeded("OU=Staff")), 1},
      {"CORP\\jsmith", path_of(seeded("CN=Smith\\, John,OU=Staff")), 1},
      {"CORP\\jsmith", path_of(seeded("CN=Smith, John,OU=Staff")), 1},
      {"CORP\\carl", path_of(seeded("CN=Users")), 1},
  };
  for (const Case& c : cases) {
    GuardedBuffer error;
    EXPECT_EQ(TXADIsUserInContainer(c.account, c.path.c_str(), error.data(), error.length()),
              c.expected)
        << c.account << " in " << c.path;
    EXPECT_TRUE(error.untouched()) << c.account << " in " << c.path;
  }
}

TEST(UserInContainer, UnusablePathsGiveNoAnswerAndLeaveTheErrorBuffer) {
  const std::string lower_scheme = "ldap://" + seeded("OU=Staff");
  const char* paths[] = {
      "LDAP://", "LDAP:/", "", nullptr, lower_scheme.c_str(), "OU=Staff,DC=corp,DC=example,DC=com"};
  for (const char* path : paths) {
    GuardedBuffer error;
    EXPECT_EQ(TXADIsUserInContainer("CORP\\ann", path, error.data(), error.length()), -1)
        << (path ? path : "(null)");
    EXPECT_TRUE(error.untouched()) << (path ? path : "(null)");
    GuardedBuffer current;
    EXPECT_EQ(TXADIsCurrentUserInContainer(path, current.data(), current.length()), -1);
    EXPECT_TRUE(current.untouched());
  }
}

TEST(UserInContainer, AccountsThatDoNotTranslateGiveNoAnswerWithAnErrorText) {
  const std::string path = path_of(seeded("OU=Staff"));
  const char* accounts[] = {"CORP\\nosuchuser", "ann", "", nullptr, "NOWHERE\\ann"};
  for (const char* account : accounts) {
    GuardedBuffer error(64);
    EXPECT_EQ(TXADIsUserInContainer(account, path.c_str(), error.data(), error.length()), -1)
        << (account ? account : "(null)");
    EXPECT_FALSE(error.text().empty()) << (account ? account : "(null)");
    EXPECT_TRUE(error.guards_intact());
  }
}

TEST(CurrentUserInContainer, FollowsWhicheverTicketCacheIsCurrentAtTheCall) {
  const std::string dev = path_of(seeded("OU=Dev,OU=Staff"));
  const std::string staff = path_of(seeded("OU=Staff"));
  // Alternating identities in one process: no call may ride on a
  // connection bound as the other user.
  for (int round = 0; round < 2; ++round) {
    {
      AsUser ann("ann");
      GuardedBuffer error;
      EXPECT_EQ(TXADIsCurrentUserInContainer(dev.c_str(), error.data(), error.length()), 1);
      EXPECT_TRUE(error.untouched());
    }
    {
      AsUser bob("bob");
      GuardedBuffer error;
      EXPECT_EQ(TXADIsCurrentUserInContainer(dev.c_str(), error.data(), error.length()), 2);
      EXPECT_EQ(TXADIsCurrentUserInContainer(staff.c_str(), error.data(), error.length()), 1);
      EXPECT_TRUE(error.untouched());
    }
  }
  GuardedBuffer error;
  EXPECT_EQ(TXADIsCurrentUserInContainer(path_of(seeded("CN=Users")).c_str(), error.data(),
                                         error.length()),
            1);  // the administrator's own cache again
}

TEST(CurrentUserInContainer, ErrorTextIsCutToTheBufferWithoutWritingPastIt) {
  GuardedBuffer error(5);
  int result = 0;
  {
    AsUser nobody("FILE:/nonexistent/txads-no-cache");
    result = TXADIsCurrentUserInContainer(path_of(seeded("OU=Staff")).c_str(), error.data(),
                                          error.length());
  }
  EXPECT_EQ(result, -1);
  EXPECT_EQ(error.text(),
            std::string(txads::system_message(txads::win32::ERROR_NO_SUCH_LOGON_SESSION), 5));
  EXPECT_TRUE(error.guards_intact());
}

}  // namespace
}  // namespace membership_test
