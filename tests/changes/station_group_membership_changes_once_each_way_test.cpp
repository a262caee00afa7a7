// TXADAddStationToGroup and TXADDeleteStationFromGroup find the station in
// its container and add its own DN to a group, or remove it; a change the
// group already has is a failure.
#include <algorithm>

#include "change_table.h"
#include "support/domain.h"

namespace changes_test {
namespace {

TEST_F(ChangeTable, StationGroupMembershipChangesOnceEachWay) {
  const std::string lab = ou_.add_ou("Lab");
  ou_.add_ou("Office");
  ou_.add_computer(expand("PC~"), lab);
  const std::string team = ou_.add_group("Team", {}, expand("team~"));
  const std::string una = ou_.add_user("Una User", expand("una~"), lab);
  ou_.add_member(team, una);
  const std::string in = "@OU=Lab";
  struct {
    Row row;
    bool member;  // the station is in CN=Team afterwards, beside Una
  } const rows[] = {
      {{"AddStationToGroup", {"PC~", in, "@CN=Team"}, 0, "", "*CN=Team"}, true},
      {{"AddStationToGroup", {"PC~", in, "@CN=Team"}, -1, kExists, ""}, true},
      {{"DeleteStationFromGroup", {"PC~", in, "@CN=Team"}, 0, "", "*CN=Team"}, false},
      {{"DeleteStationFromGroup", {"PC~", in, "@CN=Team"}, -1, kUnwilling, ""}, false},
      {{"AddStationToGroup", {"PC~", "@OU=Office", "@CN=Team"}, -1, kNoSuchObject, ""}, false},
      {{"AddStationToGroup", {"Una User", in, "@CN=Team"}, -1, kNoSuchObject, ""}, false},
      {{"AddStationToGroup", {"PC~", in, "@OU=Office"}, -1, kNoInterface, ""}, false},
      {{"DeleteStationFromGroup", {"PC~", in, "@CN=Una User,OU=Lab"}, -1, kNoInterface, ""}, false},
      {{"DeleteStationFromGroup", {"PC~", in, "@CN=Missing"}, -1, kNoSuchObject, ""}, false},
  };
  for (const auto& [row, member] : rows) {
    run(row);
    std::vector<std::string> expected{una};
    if (member) expected.insert(expected.begin(), dn("CN=PC~,OU=Lab"));
    auto members = txads_test::attribute_values(team, "member");
    std::sort(members.begin(), members.end());
    EXPECT_EQ(members, expected) << row.worker;
  }
}

}  // namespace
}  // namespace changes_test
