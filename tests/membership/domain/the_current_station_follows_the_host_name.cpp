// The current station is the computer object of the host's NetBIOS name:
// the first label of the host name, upper case, at most 15 characters. Each
// case runs the txads command in a UTS namespace of its own, so the
// machine's host name never changes.
#include <gtest/gtest.h>

#include "checks.h"
#include "scratch_directory.h"
#include "txads.h"

namespace membership_test {
namespace {

struct Case {
  const char* host;
  std::vector<std::string> args;
  int expected;
};

TEST(CurrentStation, ContainersAndGroupsFollowTheHostName) {
  const std::string site = path_of(seeded("OU=Site"));
  const std::string office = path_of(seeded("OU=Office"));
  const std::string lab = path_of(seeded("CN=Lab Members,OU=Groups"));
  const Case cases[] = {
      {"pc042.corp.example.com", {"is-current-station-in-container", site}, 1},
      {"pc042", {"is-current-station-in-container", office}, 2},
      {"PC050.corp.example.com", {"is-current-station-in-container", office}, 1},
      {"pc050", {"is-current-station-in-container", site}, 2},
      {"pc042",
       {"is-current-station-in-container", "ldap://ou=site,dc=corp,dc=example,dc=com"},
       -1},
      {"pc042", {"is-current-station-in-container", "LDAP://"}, -1},
      {"pc042", {"is-current-station-in-container", "LDAP://ou=site,dc=corp,dc=example,dc=com"}, 1},
      {"pc042", {"is-current-station-in-group", lab}, 1},
      {"pc050", {"is-current-station-in-group", lab}, 2},
      {"pc043.other.example", {"is-current-station-in-group", lab}, 1},
  };
  for (const Case& c : cases) {
    const std::string out = txads_on_host(c.host, c.args);
    EXPECT_EQ(result_of(out), c.expected) << c.host << " " << c.args[0] << "\n" << out;
  }
}

TEST(CurrentStation, AHostWithoutComputerObjectGivesNoAnswerWithATextThatSaysSo) {
  const std::string out = txads_on_host(
      "nosuchstation", {"is-current-station-in-container", path_of(seeded("OU=Site"))});
  EXPECT_EQ(result_of(out), -1) << out;
  EXPECT_NE(out.find("error: "), std::string::npos);
  EXPECT_EQ(out.find("error: \n"), std::string::npos) << out;
}

TEST(CurrentStation, TheNetbiosNameIsCutToFifteenCharacters) {
  ScratchOu scratch;
  scratch.add_computer("LONGSTATION1234");
  const std::string out = txads_on_host("longstation12345678.corp.example.com",
                                        {"is-current-station-in-container", scratch.path()});
  EXPECT_EQ(result_of(out), 1) << out;
}

TEST(CurrentStation, InThisProcessTheHostIsTheSeededStation) {
  // The test run gives this process the host name pc042.
  GuardedBuffer error;
  EXPECT_EQ(TXADIsCurrentStationInContainer(path_of(seeded("OU=Lab,OU=Site")).c_str(), error.data(),
                                            error.length()),
            1);
  EXPECT_EQ(TXADIsCurrentStationInContainer(nullptr, error.data(), error.length()), -1);
  EXPECT_EQ(TXADIsCurrentStationInContainer("xLDAP://", error.data(), error.length()), -1);
  EXPECT_TRUE(error.untouched());
}

}  // namespace
}  // namespace membership_test
