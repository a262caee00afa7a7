// After the walks, a group whose SID ends in -513 counts every user, and one
// ending in -515 every station, of the group's own domain as a member, though
// its member list does not name them (they hold it as their primary group).
#include <gtest/gtest.h>

#include "support/domain.h"
#include "support/guarded_buffer.h"
#include "txads.h"

namespace {

using txads_test::seeded;

TEST(SidRule, CountsTheDomainsAccountsForItsUsersAndComputersGroupsOnly) {
  const std::string users_sid = txads_test::sid_of(seeded("CN=Domain Users,CN=Users"));
  const std::string domain = users_sid.substr(0, users_sid.rfind('-'));
  const std::string users_path = txads_test::path_of(seeded("CN=Domain Users,CN=Users"));
  const std::string computers_path = txads_test::path_of(seeded("CN=Domain Computers,CN=Users"));
  const auto user = TXADIsUserInGroup;
  const auto station = TXADIsStationInGroup;
  const struct {
    decltype(user) check;
    const char* name;
    std::string group;
    int expected;
  } cases[] = {
      {user, "CORP\\ann", domain + "-513", 1},
      {user, "CORP\\eve", users_path, 1},
      {user, "CORP\\ann", domain + "-515", 2},
      {user, "CORP\\ann", computers_path, 2},
      {user, "CORP\\nosuchuser", domain + "-513", 2},
      {user, "CORP\\ann", domain + "-99513", -1},     // no such group; -513 ends with the hyphen
      {user, "CORP\\ann", "S-1-5-21-1-2-3-513", -1},  // another domain
      {station, "PC042", domain + "-515", 1},
      {station, "pc050", computers_path, 1},
      {station, "PC042", domain + "-513", 2},
      {station, "PC042", users_path, 2},
      {station, "PC042$", domain + "-515", 2},
      {station, "NOSUCHPC", domain + "-515", 2},
  };
  for (const auto& c : cases) {
    txads_test::GuardedBuffer error;
    EXPECT_EQ(c.check(c.name, c.group.c_str(), error.data(), error.length()), c.expected)
        << c.name << " in " << c.group;
  }
}

}  // namespace
