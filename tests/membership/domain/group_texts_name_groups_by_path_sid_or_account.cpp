// The forms of a group text: an LDAP path is bound as given, text holding
// "S-" is SID text resolved through TXADGetNameFromSID, any other text is an
// account name translated to a server-qualified path (users only; the
// station check takes every non-path as SID text).
#include <gtest/gtest.h>

#include <algorithm>

#include "checks.h"
#include "scratch_directory.h"
#include "txads.h"

namespace membership_test {
namespace {

struct Groups {
  ScratchOu scratch;
  std::string sales;  // sAMAccountName without "S-": an account name
  std::string users;  // sAMAccountName holding "S-": taken as SID text
  std::string sales_dn, users_dn;

  Groups() {
    sales_dn = scratch.add_group("Sales-East");
    users_dn = scratch.add_group("USERS-EAST");
    for (const std::string& dn : {sales_dn, users_dn}) {
      scratch.add_member(dn, seeded("CN=Ann Archer,OU=Dev,OU=Staff"));
      scratch.add_member(dn, seeded("CN=PC042,OU=Lab,OU=Site"));
    }
    sales = "CORP\\" + read_attribute(sales_dn, "sAMAccountName").at(0);
    users = "CORP\\" + read_attribute(users_dn, "sAMAccountName").at(0);
  }
};

TEST(GroupText, AnAccountNameIsTranslatedUnlessItHoldsAnUpperCaseSDash) {
  Groups g;
  ASSERT_EQ(g.sales.find("S-"), std::string::npos);
  ASSERT_NE(g.users.find("S-"), std::string::npos);
  GuardedBuffer error;
  EXPECT_EQ(TXADIsUserInGroup("CORP\\ann", g.sales.c_str(), error.data(), error.length()), 1);
  EXPECT_TRUE(error.untouched());
  EXPECT_EQ(TXADIsUserInGroup("CORP\\ann", g.users.c_str(), error.data(), error.length()), -1);
  EXPECT_NE(error.text(), "");
}

TEST(GroupText, TheUserWalkBindsTheServerQualifiedPathOfAnAccountName) {
  Groups g;
  TraceCapture trace;
  GuardedBuffer error;
  EXPECT_EQ(TXADIsUserInGroup("CORP\\bob", g.sales.c_str(), error.data(), error.length()), 2);
  const std::string expected =
      "Getting AD object 'LDAP://corp.example.com/" + g.sales_dn + "' was succesfully.";
  const auto lines = trace.lines();
  EXPECT_NE(std::find(lines.begin(), lines.end(), expected), lines.end());
}

TEST(GroupText, SidTextOfAGroupIsResolvedToItsPath) {
  Groups g;
  const std::string sid = sid_of(g.sales_dn);
  ASSERT_EQ(sid.rfind("S-1-5-21-", 0), 0u) << sid;
  GuardedBuffer error;
  EXPECT_EQ(TXADIsUserInGroup("CORP\\ann", sid.c_str(), error.data(), error.length()), 1);
  EXPECT_EQ(TXADIsUserInGroup("CORP\\bob", sid.c_str(), error.data(), error.length()), 2);
  EXPECT_EQ(TXADIsStationInGroup("PC042", sid.c_str(), error.data(), error.length()), 1);
  EXPECT_EQ(TXADIsStationInGroup("PC043", sid.c_str(), error.data(), error.length()), 2);
  EXPECT_TRUE(error.untouched());
}

TEST(GroupText, TheStationCheckTakesAnAccountNameForSidTextAndFails) {
  Groups g;
  GuardedBuffer error;
  EXPECT_EQ(TXADIsStationInGroup("PC042", g.sales.c_str(), error.data(), error.length()), -1);
  EXPECT_NE(error.text(), "");
  GuardedBuffer other;
  EXPECT_EQ(TXADIsStationInGroup("PC042", "CORP\\Workstations", other.data(), other.length()), -1);
  EXPECT_NE(other.text(), "");
}

TEST(GroupText, TextsThatAreNeitherPathsNorSidsGiveNoAnswer) {
  const char* groups[] = {
      "",   nullptr, "no such group", "CORP\\",
      "\\", "S-",    "S-1-5-21-x",    "ldap://CN=Lab Members,OU=Groups,DC=corp,DC=example,DC=com"};
  for (const char* group : groups) {
    GuardedBuffer user_error(40);
    EXPECT_EQ(TXADIsUserInGroup("CORP\\ann", group, user_error.data(), user_error.length()), -1)
        << (group ? group : "(null)");
    EXPECT_TRUE(user_error.guards_intact());
    GuardedBuffer station_error(40);
    EXPECT_EQ(TXADIsStationInGroup("PC042", group, station_error.data(), station_error.length()),
              -1)
        << (group ? group : "(null)");
    EXPECT_TRUE(station_error.guards_intact());
  }
}

TEST(GroupText, NamesThatAreNoAccountsAreNeverMembers) {
  const std::string lab = path_of(seeded("CN=Lab Members,OU=Groups"));
  const char* users[] = {"", nullptr, "ann", "CORP\\nosuch", "CORP\\ann,bob"};
  for (const char* user : users) {
    GuardedBuffer error;
    EXPECT_EQ(TXADIsUserInGroup(user, lab.c_str(), error.data(), error.length()), 2)
        << (user ? user : "(null)");
  }
  const std::string long_name(300, 'P');
  const char* stations[] = {"", nullptr, "PC042,OU=Lab", long_name.c_str(), "PC04*"};
  for (const char* station : stations) {
    GuardedBuffer error;
    EXPECT_EQ(TXADIsStationInGroup(station, lab.c_str(), error.data(), error.length()), 2)
        << (station ? station : "(null)");
  }
}

}  // namespace
}  // namespace membership_test
