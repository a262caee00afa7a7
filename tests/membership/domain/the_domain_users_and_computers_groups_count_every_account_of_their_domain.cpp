// The SID rule after the walks: a group whose SID ends in -513 (users) or
// -515 (computers) counts every account of its own domain as a member, even
// when its member list does not name the account.
#include <gtest/gtest.h>

#include "checks.h"
#include "scratch_directory.h"
#include "txads.h"

namespace membership_test {
namespace {

std::string domain_sid() {
  const std::string sid = sid_of(seeded("CN=Domain Users,CN=Users"));
  return sid.substr(0, sid.rfind('-'));
}

TEST(SidRule, DomainUsersHoldsEveryUserOfTheDomainWhateverItsMemberList) {
  const std::string users_dn = seeded("CN=Domain Users,CN=Users");
  const auto members = read_attribute(users_dn, "member");
  for (const std::string& m : members) ASSERT_EQ(m.find("Ann Archer"), std::string::npos);
  const std::string sid = domain_sid() + "-513";
  const std::string path = path_of(users_dn);
  GuardedBuffer error;
  EXPECT_EQ(TXADIsUserInGroup("CORP\\ann", sid.c_str(), error.data(), error.length()), 1);
  EXPECT_EQ(TXADIsUserInGroup("CORP\\ann", path.c_str(), error.data(), error.length()), 1);
  EXPECT_EQ(TXADIsUserInGroup("CORP\\eve", sid.c_str(), error.data(), error.length()), 1);
  EXPECT_TRUE(error.untouched());
}

TEST(SidRule, DomainComputersHoldsEveryStationOfTheDomain) {
  const std::string computers_dn = seeded("CN=Domain Computers,CN=Users");
  const std::string sid = domain_sid() + "-515";
  const std::string path = path_of(computers_dn);
  GuardedBuffer error;
  EXPECT_EQ(TXADIsStationInGroup("PC042", sid.c_str(), error.data(), error.length()), 1);
  EXPECT_EQ(TXADIsStationInGroup("PC050", path.c_str(), error.data(), error.length()), 1);
  EXPECT_EQ(TXADIsStationInGroup("pc043", path.c_str(), error.data(), error.length()), 1);
}

TEST(SidRule, TheRuleDoesNotApplyToOtherSuffixesDomainsOrKinds) {
  const std::string domain = domain_sid();
  const struct {
    const char* what;
    std::string user_group;
    std::string station_group;
  } cases[] = {
      {"another domain", "S-1-5-21-1-2-3-513", "S-1-5-21-1-2-3-515"},
      {"a longer relative id", domain + "-1513", domain + "-1515"},
      {"a relative id with a trailing digit", domain + "-5130", domain + "-5150"},
      {"the built-in domain", "S-1-5-32-513", "S-1-5-32-515"},
      {"the other account kind's group", domain + "-515", domain + "-513"},
  };
  for (const auto& c : cases) {
    GuardedBuffer error;
    EXPECT_NE(TXADIsUserInGroup("CORP\\ann", c.user_group.c_str(), error.data(), error.length()), 1)
        << c.what;
    EXPECT_NE(TXADIsStationInGroup("PC042", c.station_group.c_str(), error.data(), error.length()),
              1)
        << c.what;
  }
}

TEST(SidRule, AccountsThatDoNotLookUpAreNotCounted) {
  const std::string users = domain_sid() + "-513";
  const std::string computers = domain_sid() + "-515";
  GuardedBuffer error;
  EXPECT_EQ(TXADIsUserInGroup("CORP\\nosuchuser", users.c_str(), error.data(), error.length()), 2);
  EXPECT_EQ(TXADIsUserInGroup("", users.c_str(), error.data(), error.length()), 2);
  EXPECT_EQ(TXADIsStationInGroup("PC042$", computers.c_str(), error.data(), error.length()), 2);
  EXPECT_EQ(TXADIsStationInGroup("NOSUCHPC", computers.c_str(), error.data(), error.length()), 2);
}

}  // namespace
}  // namespace membership_test
