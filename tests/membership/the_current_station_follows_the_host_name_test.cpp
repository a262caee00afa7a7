// The current station is the computer object of the host's NetBIOS name: the
// first label of the host name, upper-cased, at most 15 characters. Each row
// runs the txads command in a UTS namespace of its own, so the machine's host
// name never changes.
#include <gtest/gtest.h>

#include "support/domain.h"
#include "support/process.h"
#include "support/scratch_ou.h"

namespace {

using txads_test::path_of;
using txads_test::seeded;

TEST(CurrentStation, ContainersAndGroupsFollowTheHostName) {
  txads_test::ScratchOu ou("host");
  ou.add_computer("LONGSTATION1234");
  const std::string site = path_of(seeded("OU=Site")), office = path_of(seeded("OU=Office"));
  const std::string lab = path_of(seeded("CN=Lab Members,OU=Groups"));
  const struct {
    const char* host;
    const char* command;
    std::string path;
    const char* result;  // the command's "result: N" line and what follows
  } cases[] = {
      {"pc042.corp.example.com", "is-current-station-in-container", site, "result: 1\n"},
      {"pc042", "is-current-station-in-container", office, "result: 2\n"},
      {"longstation12345678.corp", "is-current-station-in-container", ou.path(), "result: 1\n"},
      {"nosuchstation", "is-current-station-in-container", site, "result: -1\nerror: "},
      {"pc042", "is-current-station-in-group", lab, "result: 1\n"},
      {"pc050", "is-current-station-in-group", lab, "result: 2\n"},
      {"pc043.other.example", "is-current-station-in-group", lab, "result: 1\n"},
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
