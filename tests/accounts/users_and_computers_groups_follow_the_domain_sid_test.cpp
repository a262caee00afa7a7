// The SID rule: an account belongs to the domain's users group (-513) or
// computers group (-515) when the group's SID ends in that RID and the
// account's SID has the same domain part; nothing else is consulted.
#include <gtest/gtest.h>

#include <string>

#include "membership/sid_membership.h"
#include "scratch_accounts.h"

namespace txads {
namespace {

class SidRule : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ou = new scratch::ScratchOu("sidrule");
    ou->add_user("Sam Rule", "srule");
    other_group = ou->add_group("Rulers", "Rulers");
    ou->add_computer("SRULEPC");
    domain = scratch::domain_sid();
  }
  static void TearDownTestSuite() {
    delete ou;
    ou = nullptr;
  }
  static inline scratch::ScratchOu* ou = nullptr;
  static inline std::string domain, other_group;
};

struct Case {
  const char* why;
  std::string account;
  std::string group;
  int expected;
};

TEST_F(SidRule, UsersGroup) {
  const std::string users_path = "LDAP://CN=Domain Users,CN=Users," + ou->base();
  const Case cases[] = {
      {"same domain", "CORP\\srule", domain + "-513", 1},
      {"bare name in the default domain", "srule", domain + "-513", 1},
      {"group as an LDAP path", "CORP\\srule", users_path, 1},
      {"group as a lower-case path with a server", "CORP\\srule",
       "LDAP://dc1.corp.example.com/cn=domain users,cn=users,dc=corp,dc=example,dc=com", 1},
      {"group of another domain", "CORP\\srule", "S-1-5-21-1-2-3-513", 0},
      {"RID 1513 is not 513", "CORP\\srule", domain + "-1513", 0},
      {"RID 5130 is not 513", "CORP\\srule", domain + "-5130", 0},
      {"the computers group", "CORP\\srule", domain + "-515", 0},
      {"the built-in domain's text", "CORP\\srule", "S-1-5-32-513", 0},
      {"another group as a path", "CORP\\srule", "LDAP://" + other_group, 0},
      {"a path that names nothing", "CORP\\srule", "LDAP://CN=Nothing," + ou->dn(), 0},
      {"group as an account name", "CORP\\srule", "CORP\\Domain Users", 0},
      {"unknown user", "CORP\\nobody-here", domain + "-513", 0},
      {"empty user", "", domain + "-513", 0},
      {"empty group", "CORP\\srule", "", 0},
      {"thousand-character user", std::string(1000, 'u'), domain + "-513", 0},
      // The rule compares texts: an account outside every directory domain
      // matches a made-up group SID of its own authority.
      {"SYSTEM and a made-up S-1-5 group", "NT AUTHORITY\\SYSTEM", "S-1-5-513", 1},
      {"Everyone and a made-up S-1-1 group", "Everyone", "S-1-1-513", 1},
      {"SYSTEM and the domain's group", "NT AUTHORITY\\SYSTEM", domain + "-513", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(IsUserInGroupBySid(c.account.c_str(), c.group.c_str()), c.expected);
  }
}

TEST_F(SidRule, ComputersGroup) {
  const std::string computers_path = "LDAP://CN=Domain Computers,CN=Users," + ou->base();
  const Case cases[] = {
      {"same domain", "SRULEPC", domain + "-515", 1},
      {"station names ignore case", "srulepc", domain + "-515", 1},
      {"group as an LDAP path", "SRULEPC", computers_path, 1},
      {"a dollar already there gets a second", "SRULEPC$", domain + "-515", 0},
      {"group of another domain", "SRULEPC", "S-1-5-21-1-2-3-515", 0},
      {"RID 1515 is not 515", "SRULEPC", domain + "-1515", 0},
      {"the users group", "SRULEPC", domain + "-513", 0},
      {"a user is no station", "srule", domain + "-515", 0},
      {"unknown station", "NOSUCHPC", domain + "-515", 0},
      {"empty station", "", domain + "-515", 0},
      {"thousand-character station", std::string(1000, 's'), domain + "-515", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(IsStationInGroupBySid(c.account.c_str(), c.group.c_str()), c.expected);
  }
}

TEST_F(SidRule, NullArgumentsGiveZero) {
  EXPECT_EQ(IsUserInGroupBySid(nullptr, (domain + "-513").c_str()), 0);
  EXPECT_EQ(IsUserInGroupBySid("CORP\\srule", nullptr), 0);
  EXPECT_EQ(IsStationInGroupBySid(nullptr, (domain + "-515").c_str()), 0);
  EXPECT_EQ(IsStationInGroupBySid("SRULEPC", nullptr), 0);
}

}  // namespace
}  // namespace txads
