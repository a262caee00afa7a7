// The container checks: a user, the current user or the current station lies
// in every container whose DN, upper-cased and without backslashes, occurs in
// its own DN; the named-station check asks the one container directly. The
// current station is the computer object of the host's NetBIOS name: the
// first label of the host name, upper-cased, at most 15 characters.
#include <gtest/gtest.h>

#include "support/domain.h"
#include "support/guarded_buffer.h"
#include "support/process.h"
#include "support/scratch_ou.h"
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

TEST(ContainerChecks, DecideByTheDnsTheDirectoryGives) {
  const std::string staff = path_of(seeded("OU=Staff")), dev = path_of(seeded("OU=Dev,OU=Staff"));
  const std::string office = path_of(seeded("OU=Office")), site = path_of(seeded("OU=Site"));
  const std::string john = path_of(seeded("CN=Smith, John,OU=Staff"));
  const std::string lower_staff = "LDAP://ou=staff,dc=corp,dc=example,dc=com";
  const struct {
    Check check;
    const char* subject;
    std::string path;
    int expected;
    bool error_text = false;  // else the error buffer stays as passed
  } cases[] = {
      {kUser, "CORP\\ann", staff, 1},
      {kUser, "CORP\\ann", lower_staff, 1},
      {kUser, "CORP\\ann", office, 2},
      {kUser, "CORP\\ann", "LDAP://dc1.corp.example.com/" + seeded("OU=Staff"), 2},
      {kUser, "CORP\\ann", "ldap://" + seeded("OU=Staff"), -1},
      {kUser, "CORP\\ann", "LDAP://", -1},
      {kUser, "CORP\\jsmith", path_of(seeded("CN=Smith\\, John,OU=Staff")), 1},
      {kUser, "CORP\\jsmith", john, 1},
      {kUser, "CORP\\nosuchuser", staff, -1, true},
      {kCurrentUser, "ann", dev, 1},
      {kCurrentUser, "ann", lower_staff, 1},
      {kCurrentUser, "bob", dev, 2},
      {kCurrentUser, "jsmith", john, 1},
      {kCurrentUser, "FILE:/nonexistent/txads-no-cache", staff, -1, true},
      {kCurrentStation, "", site, 1},
      {kCurrentStation, "", "LDAP://ou=lab,ou=site,dc=corp,dc=example,dc=com", 1},
      {kCurrentStation, "", office, 2},
      {kCurrentStation, "", "LDAP://", -1},
      {kStation, "PC042", path_of(seeded("OU=Lab,OU=Site")), 1},
      {kStation, "SCOPE1", path_of(seeded("CN=Equipment")), 1},
      {kStation, "PC042", site, 2, true},  // one level only
      {kStation, "PC042", path_of(seeded("OU=Nowhere")), -1, true},
      {kStation, "PC042", "LDAP://", -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.subject) + " in " + c.path);
    txads_test::GuardedBuffer error(128);
    EXPECT_EQ(c.check(c.subject, c.path.c_str(), error.data(), error.length()), c.expected);
    EXPECT_EQ(!error.untouched(), c.error_text);
  }
}

// Each row runs the txads command in a UTS namespace of its own, so the
// machine's host name never changes.
TEST(CurrentStation, ContainersAndGroupsFollowTheHostName) {
  txads_test::ScratchOu ou("host");
  ou.add_computer("LONGSTATION1234");
  const std::string site = path_of(seeded("OU=Site"));
  const std::string lab = path_of(seeded("CN=Lab Members,OU=Groups"));
  const char *in_container = "is-current-station-in-container",
             *in_group = "is-current-station-in-group";
  const struct {
    const char* host;
    const char* command;
    std::string path;
    const char* result;  // the command's "result: N" line and what follows
  } cases[] = {
      {"pc042.corp.example.com", in_container, site, "result: 1\n"},
      {"pc042", in_container, path_of(seeded("OU=Office")), "result: 2\n"},
      {"longstation12345678.corp", in_container, ou.path(), "result: 1\n"},
      {"nosuchstation", in_container, site, "result: -1\nerror: "},
      {"pc042", in_group, lab, "result: 1\n"},
      {"pc050", in_group, lab, "result: 2\n"},
      {"pc043.other.example", in_group, lab, "result: 1\n"},
  };
  for (const auto& c : cases) {
    const auto run =
        txads_test::run_tool({"unshare", "--uts", "/bin/sh", "-c", "hostname \"$0\" && exec \"$@\"",
                              c.host, TXADS_COMMAND, c.command, c.path});
    EXPECT_NE(run.out.find(c.result), std::string::npos) << c.host << " " << c.command << "\n"
                                                         << run.out << run.err;
  }
}

}  // namespace
