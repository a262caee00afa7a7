// The container checks: a user, the current user or the current station lies
// in every container whose DN, upper-cased and without backslashes, occurs in
// its own DN; the named-station check asks the one container directly.
#include <gtest/gtest.h>

#include "support/domain.h"
#include "support/guarded_buffer.h"
#include "txads.h"

namespace {

using txads_test::path_of;
using txads_test::seeded;

using Check = int (*)(const char* subject, const char* path, char* error, int length);
const Check kUser = TXADIsUserInContainer;
const Check kStation = TXADIsStationInContainer;
// The subject is the ticket cache of the current user.
const Check kCurrentUser = [](const char* cache, const char* path, char* error, int length) {
  txads_test::AsUser as(cache);
  return TXADIsCurrentUserInContainer(path, error, length);
};
// The test run names this host pc042 (OU=Lab,OU=Site).
const Check kCurrentStation = [](const char*, const char* path, char* error, int length) {
  return TXADIsCurrentStationInContainer(path, error, length);
};

struct Case {
  Check check;
  const char* subject;
  std::string path;
  int expected;
  bool error_text;  // else the error buffer stays as passed
};

TEST(ContainerChecks, DecideByTheDnsTheDirectoryGives) {
  const std::string staff = seeded("OU=Staff");
  const std::string lower_staff = "LDAP://ou=staff,dc=corp,dc=example,dc=com";
  const Case cases[] = {
      {kUser, "CORP\\ann", path_of(staff), 1, false},
      {kUser, "CORP\\ann", lower_staff, 1, false},
      {kUser, "CORP\\ann", path_of(seeded("OU=Office")), 2, false},
      {kUser, "CORP\\ann", "LDAP://dc1.corp.example.com/" + staff, 2, false},
      {kUser, "CORP\\ann", "ldap://" + staff, -1, false},
      {kUser, "CORP\\ann", "LDAP://", -1, false},
      {kUser, "CORP\\jsmith", path_of(seeded("CN=Smith\\, John,OU=Staff")), 1, false},
      {kUser, "CORP\\jsmith", path_of(seeded("CN=Smith, John,OU=Staff")), 1, false},
      {kUser, "CORP\\nosuchuser", path_of(staff), -1, true},
      {kCurrentUser, "ann", path_of(seeded("OU=Dev,OU=Staff")), 1, false},
      {kCurrentUser, "ann", lower_staff, 1, false},
      {kCurrentUser, "bob", path_of(seeded("OU=Dev,OU=Staff")), 2, false},
      {kCurrentUser, "jsmith", path_of(seeded("CN=Smith, John,OU=Staff")), 1, false},
      {kCurrentUser, "FILE:/nonexistent/txads-no-cache", path_of(staff), -1, true},
      {kCurrentStation, "", path_of(seeded("OU=Site")), 1, false},
      {kCurrentStation, "", "LDAP://ou=lab,ou=site,dc=corp,dc=example,dc=com", 1, false},
      {kCurrentStation, "", path_of(seeded("OU=Office")), 2, false},
      {kCurrentStation, "", "LDAP://", -1, false},
      {kStation, "PC042", path_of(seeded("OU=Lab,OU=Site")), 1, false},
      {kStation, "SCOPE1", path_of(seeded("CN=Equipment")), 1, false},
      {kStation, "PC042", path_of(seeded("OU=Site")), 2, true},  // one level only
      {kStation, "PC042", path_of(seeded("OU=Nowhere")), -1, true},
      {kStation, "PC042", "LDAP://", -1, false},
  };
  for (const Case& c : cases) {
    txads_test::GuardedBuffer error(128);
    EXPECT_EQ(c.check(c.subject, c.path.c_str(), error.data(), error.length()), c.expected)
        << c.subject << " in " << c.path;
    EXPECT_EQ(!error.untouched(), c.error_text) << c.subject << " in " << c.path;
  }
}

}  // namespace
