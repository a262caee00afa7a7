// TXADAddStationToContainer creates an enabled workstation account;
// TXADDeleteStationFromContainer deletes a station only where it is; the
// moves move an object of their own class only, under its own name; the
// group changes add or remove the station's own DN, once each way.
#include <algorithm>

#include "change_table.h"
#include "support/domain.h"

namespace changes_test {
namespace {

TEST_F(ChangeTable, NewStationsBecomeEnabledWorkstationAccounts) {
  const Row rows[] = {
      // Of the five writes only the one of sAMAccountType is refused: each
      // write carries its own attribute alone.
      {"AddStationToContainer", {"New~", "@"}, 0, "", "+CN=New~", {{"sAMAccountType"}}},
      {"AddStationToContainer", {"New~", "@"}, -1, kExists, "", {{"already exists"}}},
      {"AddStationToContainer", {"Newer~", "@OU=Missing"}, -1, kNoSuchObject, ""},
      {"AddStationToContainer", {std::string(259, 's'), "@"}, -1, kInvalidArg, ""},
  };
  for (const Row& row : rows) run(row);
  const std::pair<const char*, std::string> attributes[] = {
      {"name", expand("New~")},       {"sAMAccountName", expand("New~$")},
      {"userAccountControl", "4128"},  // a workstation account, enabled, no password needed
      {"primaryGroupID", "515"},      {"sAMAccountType", "805306369"},
  };
  for (const auto& [attribute, value] : attributes)
    EXPECT_EQ(txads_test::attribute_values(dn("CN=New~"), attribute), std::vector{value})
        << attribute;
}

TEST_F(ChangeTable, StationsAndUsersArePlacedOnlyAsTheirOwnClass) {
  const std::string from = ou_.add_ou("From");
  ou_.add_ou("Dest");
  ou_.add_computer(expand("PC~"), from);
  ou_.add_user("Smith\\, John", expand("js~"), from);
  ou_.add_user("Una User", expand("una~"), from);
  const std::string john = "-CN=Smith\\, John,OU=From; +CN=Smith\\, John,OU=Dest";
  const Row rows[] = {
      {"DeleteStationFromContainer", {"PC~", "@"}, -1, kNoSuchObject, ""},
      {"DeleteStationFromContainer", {"Una User", "@OU=From"}, -1, kNoSuchObject, ""},
      {"MoveUserToContainer", {"PC~", "@OU=From", "@OU=Dest"}, -1, kNoSuchObject, ""},
      {"MoveStationToContainer", {"Una User", "@OU=From", "@OU=Dest"}, -1, kNoSuchObject, ""},
      {"MoveUserToContainer", {"Smith\\, John", "@OU=From", "@OU=Dest"}, 0, "", john},
      {"MoveStationToContainer",
       {"PC~", "@OU=From", "@OU=Dest"},
       0,
       "",
       "-CN=PC~,OU=From; +CN=PC~,OU=Dest"},
      {"MoveStationToContainer", {"PC~", "@OU=From", "@OU=Dest"}, -1, kNoSuchObject, ""},
      {"MoveStationToContainer", {"PC~", "@OU=Dest", "@OU=Missing"}, -1, kNoSuchObject, ""},
      {"DeleteStationFromContainer", {"PC~", "@OU=Dest"}, 0, "", "-CN=PC~,OU=Dest"},
      {"DeleteStationFromContainer", {"PC~", "@OU=Dest"}, -1, kNoSuchObject, ""},
  };
  for (const Row& row : rows) run(row);
}

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
