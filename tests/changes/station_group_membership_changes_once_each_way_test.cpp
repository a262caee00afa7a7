// TXADAddStationToGroup and TXADDeleteStationFromGroup find the station in
// its container and add its own DN to a group, or remove it; a change the
// group already has is a failure.
#include <algorithm>

#include "change_table.h"
#include "support/domain.h"
#include "txads.h"

namespace changes_test {
namespace {

TEST_F(ChangeTable, StationGroupMembershipChangesOnceEachWay) {
  const std::string lab = ou_.add_ou("Lab");
  ou_.add_ou("Office");
  ou_.add_computer(expand("PC~"), lab);
  const std::string team = ou_.add_group("Team", {}, expand("team~"));
  ou_.add_member(team, ou_.add_user("Una User", expand("una~"), lab));
  const std::string una = "CN=Una User,OU=Lab";
  struct {
    Row row;
    bool member;  // the station is in CN=Team afterwards, beside Una
  } const rows[] = {
      {{"add", {CHANGE(AddStationToGroup), "PC~", "@OU=Lab", "@CN=Team"}, 0, "", "*CN=Team"}, true},
      {{"add again",
        {CHANGE(AddStationToGroup), "PC~", "@OU=Lab", "@CN=Team"},
        -1,
        "An object of that name exists already.\n",
        ""},
       true},
      {{"remove",
        {CHANGE(DeleteStationFromGroup), "PC~", "@OU=Lab", "@CN=Team"},
        0,
        "",
        "*CN=Team"},
       false},
      {{"remove again",
        {CHANGE(DeleteStationFromGroup), "PC~", "@OU=Lab", "@CN=Team"},
        -1,
        "The directory server refused to carry out the request.\n",
        ""},
       false},
      {{"add from elsewhere",
        {CHANGE(AddStationToGroup), "PC~", "@OU=Office", "@CN=Team"},
        -1,
        kNoSuchObject,
        ""},
       false},
      {{"add a user",
        {CHANGE(AddStationToGroup), "Una User", "@OU=Lab", "@CN=Team"},
        -1,
        kNoSuchObject,
        ""},
       false},
      {{"add to an OU",
        {CHANGE(AddStationToGroup), "PC~", "@OU=Lab", "@OU=Office"},
        -1,
        kNoInterface,
        ""},
       false},
      {{"remove from a user",
        {CHANGE(DeleteStationFromGroup), "PC~", "@OU=Lab", "@" + una},
        -1,
        kNoInterface,
        ""},
       false},
      {{"remove from a missing group",
        {CHANGE(DeleteStationFromGroup), "PC~", "@OU=Lab", "@CN=Missing"},
        -1,
        kNoSuchObject,
        ""},
       false},
  };
  for (const auto& [row, member] : rows) {
    run(row);
    std::vector<std::string> expected{dn(una)};
    if (member) expected.insert(expected.begin(), dn("CN=PC~,OU=Lab"));
    auto actual = txads_test::attribute_values(team, "member");
    std::sort(actual.begin(), actual.end());
    EXPECT_EQ(actual, expected) << row.what;
  }
}

}  // namespace
}  // namespace changes_test
