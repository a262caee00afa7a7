// TXADAddStationToContainer creates an enabled workstation account;
// TXADDeleteStationFromContainer deletes a station only where it is;
// TXADMoveUserToContainer and TXADMoveStationToContainer move an object of
// their own class only, under its own name.
#include "change_table.h"
#include "support/domain.h"
#include "txads.h"

namespace changes_test {
namespace {

TEST_F(ChangeTable, NewStationsBecomeEnabledWorkstationAccounts) {
  const Row rows[] = {
      {"add", {CHANGE(AddStationToContainer), "New~", "@"}, 0, "", "+CN=New~"},
      {"add again",
       {CHANGE(AddStationToContainer), "New~", "@"},
       -1,
       "An object of that name exists already.\n",
       ""},
      {"add to a missing container",
       {CHANGE(AddStationToContainer), "Newer~", "@OU=Missing"},
       -1,
       kNoSuchObject,
       ""},
      {"add 259 bytes",
       {CHANGE(AddStationToContainer), std::string(259, 's'), "@"},
       -1,
       kInvalidArg,
       ""},
  };
  for (const Row& row : rows) run(row);
  const std::string name = expand("New~");
  const std::pair<const char*, std::string> attributes[] = {
      {"name", name},
      {"sAMAccountName", name + "$"},
      {"userAccountControl", "4128"},  // a workstation account, enabled, no password needed
      {"primaryGroupID", "515"},
      {"sAMAccountType", "805306369"},
  };
  for (const auto& [attribute, value] : attributes) {
    EXPECT_EQ(txads_test::attribute_values(dn("CN=New~"), attribute),
              std::vector<std::string>{value})
        << attribute;
  }
}

TEST_F(ChangeTable, StationsAndUsersArePlacedOnlyAsTheirOwnClass) {
  const std::string from = ou_.add_ou("From");
  ou_.add_ou("Dest");
  ou_.add_computer(expand("PC~"), from);
  ou_.add_user("Smith\\, John", expand("js~"), from);
  ou_.add_user("Una User", expand("una~"), from);
  const Row rows[] = {
      {"delete where it is not",
       {CHANGE(DeleteStationFromContainer), "PC~", "@"},
       -1,
       kNoSuchObject,
       ""},
      {"delete a user",
       {CHANGE(DeleteStationFromContainer), "Una User", "@OU=From"},
       -1,
       kNoSuchObject,
       ""},
      {"move a station as a user",
       {CHANGE(MoveUserToContainer), "PC~", "@OU=From", "@OU=Dest"},
       -1,
       kNoSuchObject,
       ""},
      {"move a user as a station",
       {CHANGE(MoveStationToContainer), "Una User", "@OU=From", "@OU=Dest"},
       -1,
       kNoSuchObject,
       ""},
      {"move a user",
       {CHANGE(MoveUserToContainer), "Smith\\, John", "@OU=From", "@OU=Dest"},
       0,
       "",
       "-CN=Smith\\, John,OU=From; +CN=Smith\\, John,OU=Dest"},
      {"move a station",
       {CHANGE(MoveStationToContainer), "PC~", "@OU=From", "@OU=Dest"},
       0,
       "",
       "-CN=PC~,OU=From; +CN=PC~,OU=Dest"},
      {"move it again",
       {CHANGE(MoveStationToContainer), "PC~", "@OU=From", "@OU=Dest"},
       -1,
       kNoSuchObject,
       ""},
      {"move to a missing container",
       {CHANGE(MoveStationToContainer), "PC~", "@OU=Dest", "@OU=Missing"},
       -1,
       kNoSuchObject,
       ""},
      {"delete", {CHANGE(DeleteStationFromContainer), "PC~", "@OU=Dest"}, 0, "", "-CN=PC~,OU=Dest"},
      {"delete again",
       {CHANGE(DeleteStationFromContainer), "PC~", "@OU=Dest"},
       -1,
       kNoSuchObject,
       ""},
  };
  for (const Row& row : rows) run(row);
}

}  // namespace
}  // namespace changes_test
